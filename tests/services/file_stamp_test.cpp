// What the program remembers of its project file: the hash of its bytes, whatever pieces they
// are read in, and when a look at the file must read them.
#include "platform/platform.h"
#include "services/file_stamp.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

TEST(FileStamp, TheHashOfAFileIsTheHashOfItsBytesWhateverTheirLength)
{
    CTempFile file;
    // Across the reader's 64 KiB blocks, and lengths that are no multiple of eight.
    for (std::size_t length : {0u, 1u, 7u, 8u, 9u, 65535u, 65536u, 65537u, 200003u}) {
        std::string bytes(length, '\0');
        for (std::size_t i = 0; i < length; ++i)
            bytes[i] = static_cast<char>(i * 131 + length);
        WriteFileBytes(file.Path(), bytes);
        const FileStamp stamp = StampFile(file.Path());
        EXPECT_TRUE(stamp.exists);
        EXPECT_EQ(stamp.size, static_cast<std::int64_t>(length));
        EXPECT_EQ(stamp.hash, HashBytes(bytes.data(), bytes.size())) << length;
    }
    // One byte apart, or one more zero byte: another hash.
    EXPECT_NE(HashBytes("abcdefgh1", 9), HashBytes("abcdefgh2", 9));
    EXPECT_NE(HashBytes("\0", 1), HashBytes("\0\0", 2));
    EXPECT_FALSE(StampFile(file.Path() + L".missing").exists);
}

TEST(FileStamp, OnlyOtherBytesAreAChange)
{
    CTempFile file;
    WriteFileBytes(file.Path(), "first");
    const FileStamp first = StampFile(file.Path());
    FileStamp now;
    EXPECT_FALSE(FileChangedSince(first, file.Path(), now));

    // The same bytes written again.
    WriteFileBytes(file.Path(), "first");
    EXPECT_FALSE(FileChangedSince(first, file.Path(), now, true));
    EXPECT_EQ(now.hash, first.hash);

    // Other bytes of the same size: reading decides.
    WriteFileBytes(file.Path(), "fir5t");
    EXPECT_TRUE(FileChangedSince(first, file.Path(), now, true));
    EXPECT_NE(now.hash, first.hash);
    // A look that trusts size and time sees them alike only when the clock did not move on.
    FileStamp sameSizeAndTime = now;
    sameSizeAndTime.hash = first.hash;
    EXPECT_FALSE(FileChangedSince(sameSizeAndTime, file.Path(), now));
    EXPECT_TRUE(FileChangedSince(sameSizeAndTime, file.Path(), now, true));

    // Gone, and there again.
    platform::RemoveFile(file.Path());
    EXPECT_TRUE(FileChangedSince(first, file.Path(), now));
    EXPECT_FALSE(now.exists);
    EXPECT_FALSE(FileChangedSince(FileStamp(), file.Path(), now));
    WriteFileBytes(file.Path(), "");
    EXPECT_TRUE(FileChangedSince(FileStamp(), file.Path(), now));
}
