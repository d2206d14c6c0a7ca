#include "platform/FileResult.h"

#include "platform/System.h"

namespace almanouk {

std::string_view baseName(std::string_view path) {
  for (std::size_t i = path.size(); i-- > 0;)
    if (os::isSeparator(path[i])) return path.substr(i + 1);
  return path;
}

std::string_view describe(FileProblem problem) {
  switch (problem) {
    case FileProblem::DiskFull: return "schijf vol";
    case FileProblem::NoRights: return "geen rechten";
    case FileProblem::ReadOnly: return "alleen-lezen";
    case FileProblem::NotFound: return "bestand niet gevonden";
    case FileProblem::Changed: return "elders gewijzigd";
    case FileProblem::Unusable: return "kopregels kloppen niet";
    case FileProblem::Other: break;
  }
  return "schrijffout";
}

std::string saveFailedMessage(const FileError& error) {
  return "Opslaan mislukt (" + std::string(describe(error.problem)) + "): " + error.file + " is niet gewijzigd";
}

std::string changedElsewhereMessage(std::string_view file) {
  return std::string(file) + " was elders gewijzigd; die versie staat in Versies";
}

}  // namespace almanouk
