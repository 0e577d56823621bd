// list end to end: the aligned text, the JSON object and the absolute path both show.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "CliFixtures.h"
#include "CliRunner.h"
#include "support/TempDir.h"

namespace morvex::test {
namespace {

using Json = nlohmann::ordered_json;

std::vector<std::string> KeysOf(const Json& object) {
    std::vector<std::string> keys;
    for (const auto& item : object.items()) {
        keys.push_back(item.key());
    }
    return keys;
}

TEST(ListTest, PrintsTheHeaderAndOneAlignedLinePerEntry) {
    TempDir dir;
    const std::string driver = StandardDriver()
                                   .entry(0x0001, 0x0002, 0xC1)
                                   .entry(0x0003, 0x0004, 0x04)
                                   .entry(0x0005, 0x0006, 0x01)
                                   .entry(0x0007, 0x0008, 0x02)
                                   .entry(0x0009, 0x000A, 0x03)
                                   .entry(0xFFFF, 0xFFFF, 0x00)
                                   .entry(0x000B, 0x000C, 0x03)
                                   .write(dir.file("KESTRIN.SYS"));

    const CliResult result = RunCli({"list", driver});

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              "File:     " + driver +
                  "\n"
                  "Capacity: 16\n"
                  "Count:    11\n"
                  " 0  VID_04B4&PID_0001  BULK Only\n"
                  " 1  VID_1234&PID_0002  CBI                                  (Write Protected)\n"
                  " 2  VID_0D7D&PID_0100  Unknown\n"
                  " 3  VID_0ABC&PID_0010  CB( Non Interrupt Endpoint )\n"
                  " 4  VID_0001&PID_0002  CBI( with F/W download for KVOR-3 )  (Write Protected)\n"
                  " 5  VID_0003&PID_0004  Initializer for KVOR-3\n"
                  " 6  VID_0005&PID_0006  CBI\n"
                  " 7  VID_0007&PID_0008  CB( Non Interrupt Endpoint )\n"
                  " 8  VID_0009&PID_000A  BULK Only\n"
                  " 9  VID_FFFF&PID_FFFF  Unknown\n"
                  "10  VID_000B&PID_000C  BULK Only\n");
}

TEST(ListTest, AnEmptyTableShowsTheHeaderOnly) {
    TempDir dir;
    const std::string driver = DriverFixture().capacity(8).write(dir.file("KESTRIN.SYS"));

    const CliResult text = RunCli({"list", driver});
    const CliResult json = RunCli({"list", driver, "--json"});

    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "File:     " + driver + "\nCapacity: 8\nCount:    0\n");
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(Json::parse(json.out)["entries"], Json::array());
}

TEST(ListTest, JsonHasTheDocumentedShape) {
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));

    const CliResult result = RunCli({"list", "--json", driver});

    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const Json document = Json::parse(result.out);
    EXPECT_EQ(KeysOf(document),
              (std::vector<std::string>{"file", "tableOffset", "capacity", "count", "entries"}));
    EXPECT_EQ(document["file"], driver);
    EXPECT_EQ(document["tableOffset"], 1234);
    EXPECT_EQ(document["capacity"], 16);
    EXPECT_EQ(document["count"], 4);
    ASSERT_EQ(document["entries"].size(), 4u);
    const Json& first = document["entries"][0];
    EXPECT_EQ(KeysOf(first),
              (std::vector<std::string>{"slot", "vid", "pid", "code", "protocol", "writeProtect"}));
    EXPECT_EQ(first, Json::parse(R"({"slot": 0, "vid": "04B4", "pid": "0001", "code": 3,
                                     "protocol": "bulk", "writeProtect": false})"));
    EXPECT_EQ(document["entries"][1],
              Json::parse(R"({"slot": 1, "vid": "1234", "pid": "0002", "code": 129,
                              "protocol": "cbi", "writeProtect": true})"));
}

struct ProtocolCase {
    std::uint8_t code;
    std::string protocol;
    bool writeProtect;
};

void PrintTo(const ProtocolCase& c, std::ostream* os) {
    *os << "code " << static_cast<int>(c.code);
}

class JsonProtocolTest : public ::testing::TestWithParam<ProtocolCase> {};

// Decoded as the dialog decodes: kind 1 splits on bit 6, bits 4-5 never count.
TEST_P(JsonProtocolTest, NamesTheDecodedChoice) {
    const ProtocolCase& c = GetParam();
    TempDir dir;
    const std::string driver =
        DriverFixture().entry(0x1111, 0x2222, c.code).write(dir.file("KESTRIN.SYS"));

    const CliResult result = RunCli({"list", driver, "--json"});

    ASSERT_EQ(result.status, 0) << result.err;
    const Json entry = Json::parse(result.out)["entries"][0];
    EXPECT_EQ(entry["code"], c.code);
    EXPECT_EQ(entry["protocol"], c.protocol);
    EXPECT_EQ(entry["writeProtect"], c.writeProtect);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, JsonProtocolTest,
    ::testing::Values(ProtocolCase{0x01, "cbi", false}, ProtocolCase{0x41, "cbi-fw", false},
                      ProtocolCase{0x04, "initializer", false}, ProtocolCase{0x03, "bulk", false},
                      ProtocolCase{0x02, "cb", false}, ProtocolCase{0x42, "cb", false},
                      ProtocolCase{0x31, "cbi", false}, ProtocolCase{0xC1, "cbi-fw", true},
                      ProtocolCase{0x83, "bulk", true}, ProtocolCase{0x00, "unknown", false},
                      ProtocolCase{0x07, "unknown", false}, ProtocolCase{0x8F, "unknown", true}));

struct PathCase {
    std::string name;
    std::string given;  // relative to the driver's folder, which is the working folder
    std::string shown;  // appended to the folder
};

// Test lists name a case by its name, not by its bytes.
void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.name;
}

class PathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathTest, TheDriverPathIsShownAbsolute) {
    const PathCase& c = GetParam();
    TempDir dir;
    std::filesystem::create_directory(dir.file("sub"));
    StandardDriver().write(dir.file("KESTRIN.SYS"));
    CliEnvironment environment;
    environment.workingDirectory = dir.path();

    const CliResult text = RunCli({"list", c.given}, environment);
    const CliResult json = RunCli({"list", c.given, "--json"}, environment);

    const std::string shown = dir.path() + c.shown;
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')), "File:     " + shown);
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(Json::parse(json.out)["file"], shown);
}

INSTANTIATE_TEST_SUITE_P(Cli, PathTest,
                         ::testing::Values(PathCase{"Bare", "KESTRIN.SYS", "/KESTRIN.SYS"},
                                           PathCase{"DotSlash", "./KESTRIN.SYS", "/KESTRIN.SYS"},
                                           PathCase{"DoubledSlash", ".//sub/./../KESTRIN.SYS",
                                                    "/sub/../KESTRIN.SYS"}),
                         [](const auto& info) { return info.param.name; });

// A path is bytes; JSON must be UTF-8. Quotes and backslashes must survive the escaping.
TEST(ListTest, JsonStaysValidForAnyFileName) {
    TempDir dir;
    const std::string odd = dir.file("K\"E\\S\tT\xFFRIN.SYS");
    StandardDriver().write(odd);

    const CliResult result = RunCli({"list", odd, "--json"});

    ASSERT_EQ(result.status, 0) << result.err;
    const Json document = Json::parse(result.out);
    EXPECT_EQ(document["file"], dir.file("K\"E\\S\tT\xEF\xBF\xBDRIN.SYS"));
    EXPECT_EQ(document["count"], 4);
}

TEST(ListTest, AnOutputThatTakesNothingIsAFailure) {
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    CliEnvironment environment;
    environment.standardOutput = full;

    const CliResult text = RunCli({"list", driver}, environment);
    const CliResult json = RunCli({"list", driver, "--json"}, environment);
    ::close(full);

    for (const CliResult& result : {text, json}) {
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "morvex-cli: Can not write to standard output.\n");
    }
}

}  // namespace
}  // namespace morvex::test
