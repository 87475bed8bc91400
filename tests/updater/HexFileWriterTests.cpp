#include "tools/hex/HexFileWriter.h"

#include <gtest/gtest.h>

using testhex::HexFileWriter;

TEST (HexFileWriter, RecordsOfTheFormat)
{
    HexFileWriter hex;
    EXPECT_EQ (hex.record (0, 0x0100, { 0x21, 0x46, 0x01, 0x36, 0x01, 0x21, 0x47, 0x01,
                                        0x36, 0x00, 0x7E, 0xFE, 0x09, 0xD2, 0x19, 0x01 }),
               ":10010000214601360121470136007EFE09D2190140\n");
    EXPECT_EQ (hex.record (1, 0, {}), ":00000001FF\n");
    EXPECT_EQ (hex.record (4, 0, { 0x08, 0x00 }), ":020000040800F2\n");

    hex.lowerCase = true;
    hex.crlf = true;
    EXPECT_EQ (hex.record (0, 0xABCD, { 0xEF }), ":01abcd00ef98\r\n");
}

TEST (HexFileWriter, ImageAcrossA64KiBBoundary)
{
    HexFileWriter hex;
    EXPECT_EQ (hex.write ({ { 0x0000FFFE, { 1, 2, 3, 4 } } }),
               ":02FFFE000102FE\n"
               ":020000040001F9\n"
               ":020000000304F7\n"
               ":00000001FF\n");
}

TEST (HexFileWriter, RecordLengthAndUpperHalfChanges)
{
    HexFileWriter hex;
    hex.recordLength = 3;
    EXPECT_EQ (hex.write ({ { 0x00000010, { 1, 2, 3, 4, 5, 6, 7 } }, { 0x1D000000, { 9 } }, { 0x1D000100, { 8 } } }),
               ":03001000010203E7\n"
               ":03001300040506DB\n"
               ":0100160007E2\n"
               ":020000041D00DD\n"
               ":0100000009F6\n"
               ":0101000008F6\n"
               ":00000001FF\n");
}

TEST (HexFileWriter, RejectsRecordLengthsItCannotWrite)
{
    HexFileWriter hex;
    for (int length : { 0, -1, 256 })
    {
        hex.recordLength = length;
        EXPECT_THROW (hex.write ({ { 0, { 1 } } }), std::invalid_argument) << length;
    }
    EXPECT_THROW (hex.record (0, 0, std::vector<uint8_t> (256)), std::invalid_argument);
}
