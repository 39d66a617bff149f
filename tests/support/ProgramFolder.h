// A throwaway program folder for window tests: settings and list files are read and written
// there instead of beside the test exe.
#pragma once
#include <string>

#include "platform/ProgramDir.h"
#include "tests/support/TestSupport.h"

namespace bw::test {

class ProgramFolder {
public:
    ProgramFolder() { platform::OverrideProgramDir(dir_.path()); }
    ~ProgramFolder() { platform::OverrideProgramDir(""); }
    const std::string& path() const { return dir_.path(); }
    std::string file(const std::string& name) const { return dir_ / name; }
    std::string settings() const { return file("bwsd.dat"); }

private:
    TempDir dir_;
};

}  // namespace bw::test
