// Windows finds names without regard to case itself: the index only asks it.

#include "platform/Paths.h"
#include "platform/System.h"

namespace almanouk::os {

struct NameIndex::State {};

NameIndex::NameIndex() : state_(std::make_unique<State>()) {}

NameIndex::~NameIndex() = default;

NameIndex::Found NameIndex::find(const std::string& folder, const std::string& name) {
  const std::string path =
      folder.empty() || isSeparator(folder.back()) ? folder + name : folder + kPathSeparator + name;
  FileStamp stamp = fileStamp(path);
  return {path, stamp.exists, stamp.regular};
}

void NameIndex::forEach(const std::string& folder,
                        const std::function<void(const std::string& name, bool regular)>& visit) {
  for (const FolderEntry& entry : listFolder(folder)) visit(entry.name, entry.regular);
}

void NameIndex::noteChange(const std::string&, const std::string&, bool) {}

}  // namespace almanouk::os
