#include "support/cli_runner.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(Cli, PrintsVersionAndRejectsUnknownCommands) {
    const CliResult v = RunCli({QStringLiteral("--version")});
    EXPECT_EQ(v.exitCode, 0);
    EXPECT_EQ(v.out, QStringLiteral("0.9.9.0\n"));

    const CliResult bad = RunCli({QStringLiteral("frobnicate")});
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("frobnicate"))) << bad.err.toStdString();
}

} // namespace
} // namespace kestrova::test
