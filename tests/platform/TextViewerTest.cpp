// The alarm page's viewer runs on its own: the program learns whether it
// started, and no process of it is left for the program to reap, however
// long the viewer stays open.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "TestSupport.h"
#include "platform/System.h"

#ifndef _WIN32
#include <sys/wait.h>

namespace almanouk {
namespace {

// A desktop whose text viewer ("xdg-open") is the given shell lines.
class FakeViewer {
 public:
  explicit FakeViewer(const std::string& script) {
    const std::filesystem::path viewer = folder_ / "xdg-open";
    std::ofstream(viewer) << "#!/bin/sh\n" << script << "\n";
    std::filesystem::permissions(viewer, std::filesystem::perms::owner_all);
    const char* path = std::getenv("PATH");
    path_ = path ? path : "";
    ::setenv("PATH", (folder_.str() + ":" + path_).c_str(), 1);
  }
  ~FakeViewer() { ::setenv("PATH", path_.c_str(), 1); }
  std::string folder() const { return folder_.str(); }

 private:
  test::TempFolder folder_;
  std::string path_;
};

TEST(TextViewer, TellsWhetherItStartedAndLeavesNoChildBehind) {
  struct Case {
    const char* viewer;
    bool started;
  };
  const Case cases[] = {
      {"exit 0", true},    // hands the file to a viewer and ends
      {"sleep 5", true},   // is the viewer, and stays open
      {"exit 3", false},   // could not show it
  };
  for (const Case& c : cases) {
    FakeViewer viewer(c.viewer);
    EXPECT_EQ(os::openInTextViewer("alarm.txt", viewer.folder()), c.started) << c.viewer;
    // No child of this process, ended or running: nothing to reap, ever.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << c.viewer;
  }
}

}  // namespace
}  // namespace almanouk
#endif
