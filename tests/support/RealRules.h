// Where the tests find rules files: the winapp2 project's own winapp2.ini files, which are not
// part of this repository, and our small sample of the whole format, which is.
#pragma once
#include <string>

namespace bw::test {

// The Windows path of the winapp2 project's rules file `flavour` ("Winapp2.ini",
// "Non-CCleaner/Winapp2.ini"; CC BY-SA 4.0, not in this repository): looked for in the folder
// that the environment variable BW_WINAPP2_DIR names (a Linux path, as Wine passes the
// environment on), then in shared/winapp2/ beside the repository. Empty when neither holds it.
std::string RealRulesFile(const std::string& flavour);
// Why a test that needs `flavour` is skipped: both places looked in, and where the file comes from.
std::string RealRulesMissing(const std::string& flavour);

// tests/engine/data/rules-sample.ini: every shape of the format, written for the tests.
std::string SampleRulesFile();

}  // namespace bw::test

// Skips the test when the real rules file `flavour` is not here; otherwise `var` holds its path.
#define BW_REAL_RULES_OR_SKIP(var, flavour)                                  \
    const std::string var = ::bw::test::RealRulesFile(flavour);              \
    if (var.empty()) GTEST_SKIP() << ::bw::test::RealRulesMissing(flavour)
