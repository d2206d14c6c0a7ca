#include "platform/FileResult.h"

namespace almanouk {

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
