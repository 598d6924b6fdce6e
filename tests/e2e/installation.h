// What several end-to-end tests share beyond DemoProcess: a run after another on the same
// installation and the header lock as another program of the suite takes it; with it come the
// gmock matchers and the real FTP server fixture (support/ftp_server.h) they use.
#pragma once

#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "support/demo_process.h"
#include "support/ftp_server.h"

namespace kvor::test {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

class Installation : public DemoProcess {
 protected:
  // A run after another: the first consumed the link area, so the menu program's is written
  // afresh first.
  std::string RunAgain(const std::string& actions, const std::vector<std::string>& more = {}) {
    EXPECT_EQ(RunProgram(Kvor(), {"link", demo}, dir).code, 0);
    return Run(actions, more);
  }
  // `kvor reg lock` on invoice header `number` of the installation at root (demo unless told),
  // given up at once: exit code 0 when no other program holds it.
  ProcessResult LockHeaderOnce(const std::string& number, std::string root = "") {
    return RunProgram(Kvor(),
                      WithRegisters({"reg", "--root", root.empty() ? demo : root, "lock",
                                     "SVF-FTHD", "001F" + number, "--hold", "0"}),
                      dir);
  }
};

}  // namespace kvor::test
