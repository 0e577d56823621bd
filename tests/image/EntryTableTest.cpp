// The code byte and the protocol list: decoding, encoding, and the normalising round trip.
#include "image/EntryTable.h"

#include <gtest/gtest.h>

namespace morvex {
namespace {

struct DecodeCase {
    std::uint8_t code;
    ProtocolChoice choice;
};

class Decode : public testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, ReadsKindAndFirmwareBitOnly) {
    EXPECT_EQ(DecodeProtocol(GetParam().code), GetParam().choice)
        << "code 0x" << std::hex << int(GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Decode,
    testing::Values(
        DecodeCase{0x00, ProtocolChoice::ignore}, DecodeCase{0x01, ProtocolChoice::cbi},
        DecodeCase{0x81, ProtocolChoice::cbi}, DecodeCase{0x31, ProtocolChoice::cbi},
        DecodeCase{0x41, ProtocolChoice::cbiFirmware},
        DecodeCase{0xC1, ProtocolChoice::cbiFirmware},
        DecodeCase{0x02, ProtocolChoice::cbNonInterrupt},
        DecodeCase{0x42, ProtocolChoice::cbNonInterrupt},
        DecodeCase{0x03, ProtocolChoice::bulkOnly}, DecodeCase{0x43, ProtocolChoice::bulkOnly},
        DecodeCase{0x04, ProtocolChoice::initializer},
        DecodeCase{0xC4, ProtocolChoice::initializer}, DecodeCase{0x05, ProtocolChoice::ignore},
        DecodeCase{0x07, ProtocolChoice::ignore}, DecodeCase{0x0F, ProtocolChoice::ignore},
        DecodeCase{0x80, ProtocolChoice::ignore}, DecodeCase{0x10, ProtocolChoice::ignore}));

TEST(Encode, WritesTheFiveCodesAndNothingElse) {
    const std::optional<std::uint8_t> expected[] = {std::nullopt, 0x01, 0x41, 0x04, 0x03, 0x02};
    for (int choice = 0; choice < kProtocolChoiceCount; ++choice) {
        EXPECT_EQ(EncodeProtocol(choice), expected[choice]) << "choice " << choice;
    }
    EXPECT_EQ(EncodeProtocol(-1), std::nullopt);
    EXPECT_EQ(EncodeProtocol(6), std::nullopt);
}

// Every code byte that decodes to a choice encodes back to the one normal code for it.
TEST(Encode, DecodeThenEncodeNormalises) {
    for (int code = 0; code < 256; ++code) {
        const auto choice = static_cast<int>(DecodeProtocol(static_cast<std::uint8_t>(code)));
        const auto encoded = EncodeProtocol(choice);
        if (choice == 0) {
            EXPECT_FALSE(encoded);
            continue;
        }
        ASSERT_TRUE(encoded);
        EXPECT_EQ(static_cast<int>(DecodeProtocol(*encoded)), choice);
        EXPECT_EQ(*encoded & 0xB0, 0) << "bits 4, 5 and 7 are written clear";
    }
}

TEST(LittleEndian, ReadsAndWritesAtAnyOffset) {
    std::uint8_t bytes[3] = {0x00, 0x00, 0x00};
    WriteU16LE(std::span<std::uint8_t, 2>(bytes + 1, 2), 0xABCD);
    EXPECT_EQ(bytes[1], 0xCD);
    EXPECT_EQ(bytes[2], 0xAB);
    EXPECT_EQ(ReadU16LE(std::span<const std::uint8_t, 2>(bytes + 1, 2)), 0xABCD);
    EXPECT_EQ(ReadS16LE(std::span<const std::uint8_t, 2>(bytes + 1, 2)), -0x5433);
}

}  // namespace
}  // namespace morvex
