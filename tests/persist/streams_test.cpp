#include "persist/streams.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>

namespace {

std::string Pattern(std::size_t size, int seed = 0)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + seed) % 251);
    return bytes;
}

void WriteString(CStream& stream, const std::string& bytes)
{
    ASSERT_EQ(stream.Write(bytes.data(), static_cast<std::int32_t>(bytes.size())),
              static_cast<std::int32_t>(bytes.size()));
}

} // namespace

TEST(MemoryStream, TwoWritesFillTheFirstBlockAndStartASecond)
{
    CMemoryStream stream;
    std::string first = Pattern(5000, 1), second = Pattern(5000, 2);
    WriteString(stream, first);
    WriteString(stream, second);
    EXPECT_EQ(stream.Finish(), 10000);
    ASSERT_EQ(stream.BlockCount(), 2);
    EXPECT_EQ(stream.BlockSize(0), 8100);
    EXPECT_EQ(stream.BlockSize(1), 1900);
    std::string back(20000, '\0');
    EXPECT_EQ(stream.Read(&back[0], 20000), 10000);
    EXPECT_EQ(back.substr(0, 10000), first + second);
}

TEST(MemoryStream, LargeWriteGetsOneBlockOfItsOwnSize)
{
    CMemoryStream stream;
    std::string bytes = Pattern(10000);
    WriteString(stream, bytes);
    EXPECT_EQ(stream.BlockCount(), 1);
    EXPECT_EQ(stream.Finish(), 10000);
    EXPECT_EQ(stream.BlockSize(0), 10000);
    EXPECT_EQ(ReadAll(stream), bytes);
}

TEST(MemoryStream, EmptyStreamFinishesAtZeroAndReadsNothing)
{
    CMemoryStream stream;
    EXPECT_EQ(stream.Write("x", 0), 0);
    EXPECT_EQ(stream.Finish(), 0);
    char byte;
    EXPECT_EQ(stream.Read(&byte, 1), 0);
    EXPECT_EQ(stream.Skip(5), 0);
    EXPECT_EQ(stream.BlockCount(), 0);
}

TEST(MemoryStream, SmallPiecesAcrossBlockBoundariesComeBackInOrder)
{
    CMemoryStream stream;
    std::string all;
    // Piece sizes that land exactly on, just before and just after block ends.
    for (std::size_t size : {1u, 8099u, 1u, 8100u, 3u, 8097u, 16200u, 7u}) {
        std::string piece = Pattern(size, static_cast<int>(all.size()));
        WriteString(stream, piece);
        all += piece;
    }
    ASSERT_EQ(stream.Finish(), static_cast<std::int32_t>(all.size()));
    std::string back;
    char buffer[333];
    for (std::int32_t n; (n = stream.Read(buffer, sizeof buffer)) > 0;)
        back.append(buffer, n);
    EXPECT_EQ(back, all);
}

TEST(MemoryStream, SkipWalksBlocksLikeRead)
{
    CMemoryStream stream;
    std::string bytes = Pattern(20000);
    WriteString(stream, bytes.substr(0, 6000));
    WriteString(stream, bytes.substr(6000));
    stream.Finish();
    EXPECT_EQ(stream.Skip(8099), 8099);
    char two[2];
    ASSERT_EQ(stream.Read(two, 2), 2);
    EXPECT_EQ(std::string(two, 2), bytes.substr(8099, 2));
    EXPECT_EQ(stream.Skip(50000), 20000 - 8101);
    EXPECT_EQ(stream.Read(two, 2), 0);
}

TEST(MemoryStream, WritingAfterFinishStartsANewBlock)
{
    CMemoryStream stream;
    WriteString(stream, "abc");
    EXPECT_EQ(stream.Finish(), 3);
    WriteString(stream, "def");
    EXPECT_EQ(stream.Finish(), 6);
    EXPECT_EQ(ReadAll(stream), "abcdef");
}

TEST(StructStream, ForwardsEveryOperation)
{
    CRecordingStream inner("0123456789");
    CStructStream outer(inner);
    char buffer[4];
    EXPECT_EQ(outer.Read(buffer, 3), 3);
    EXPECT_EQ(outer.Skip(4), 4);
    EXPECT_EQ(outer.Read(buffer, 4), 3);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(outer.Write("xy", 2), 2);
    EXPECT_EQ(inner.bytes, "xy");
}

TEST(HandleStream, InvalidHandleTransfersNothing)
{
    CHandleStream stream(platform::kInvalidHandle);
    char byte = 'x';
    EXPECT_EQ(stream.Read(&byte, 1), 0);
    EXPECT_EQ(stream.Write(&byte, 1), 0);
    EXPECT_EQ(stream.Skip(10), 0);
}

TEST(FileStream, MissingFileReadsNothing)
{
    CTempFile missing;
    CFileStream stream(missing.Path(), false);
    EXPECT_FALSE(stream.IsOpen());
    char buffer[16];
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0);
    EXPECT_EQ(stream.Skip(4), 0);
}

TEST(FileStream, WritesOfEverySizeReachTheFileInOrder)
{
    CTempFile file;
    std::string all;
    {
        CFileStream stream(file.Path(), true);
        ASSERT_TRUE(stream.IsOpen());
        // Small pieces, one larger than the buffer, and pieces that straddle a buffer flush.
        for (std::size_t size : {10u, 65530u, 20u, 200000u, 1u, 65536u, 70000u, 3u}) {
            std::string piece = Pattern(size, static_cast<int>(size));
            WriteString(stream, piece);
            all += piece;
        }
        EXPECT_TRUE(stream.Close());
    }
    EXPECT_EQ(ReadFileBytes(file.Path()), all);
}

TEST(FileStream, DestructorWritesOutTheBuffer)
{
    CTempFile file;
    {
        CFileStream stream(file.Path(), true);
        WriteString(stream, "kept");
    }
    EXPECT_EQ(ReadFileBytes(file.Path()), "kept");
}

TEST(FileStream, CreateAlwaysTruncatesAnExistingFile)
{
    CTempFile file;
    WriteFileBytes(file.Path(), Pattern(1000));
    WriteFileBytes(file.Path(), "short");
    EXPECT_EQ(ReadFileBytes(file.Path()), "short");
}

TEST(FileStream, SkipAdvancesByTheCountInsideAndBeyondTheBuffer)
{
    CTempFile file;
    std::string bytes = Pattern(300000);
    WriteFileBytes(file.Path(), bytes);
    CFileStream stream(file.Path(), false);
    char buffer[8];
    ASSERT_EQ(stream.Read(buffer, 8), 8);
    EXPECT_EQ(stream.Skip(100), 100); // inside the buffer
    ASSERT_EQ(stream.Read(buffer, 8), 8);
    EXPECT_EQ(std::string(buffer, 8), bytes.substr(108, 8));
    EXPECT_EQ(stream.Skip(150000), 150000); // past the buffer
    ASSERT_EQ(stream.Read(buffer, 8), 8);
    EXPECT_EQ(std::string(buffer, 8), bytes.substr(150116, 8));
}

TEST(FileStream, ReadsOfEverySizeReturnTheFile)
{
    CTempFile file;
    std::string bytes = Pattern(400000);
    WriteFileBytes(file.Path(), bytes);
    CFileStream stream(file.Path(), false);
    std::string back;
    for (std::int32_t size : {1, 7, 65536, 100000, 3, 524288}) {
        std::string piece(static_cast<std::size_t>(size), '\0');
        std::int32_t n = stream.Read(&piece[0], size);
        back.append(piece, 0, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(back, bytes);
    char byte;
    EXPECT_EQ(stream.Read(&byte, 1), 0);
}

TEST(FileStream, WriteIntoAMissingFolderReportsFailure)
{
    std::wstring path = platform::TempFolder() + L"no-such-folder-quillomere" +
                        platform::PathSeparator() + L"file.bin";
    CFileStream stream(path, true);
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_EQ(stream.Write("abc", 3), 0);
    EXPECT_FALSE(stream.Flush());
    EXPECT_FALSE(stream.Close());
}

TEST(FileStream, FailedWriteIsRememberedAndReported)
{
    CTempFile file;
    CFileStream stream(file.Path(), true);
    std::string big = Pattern(100000);
    platform::SetWriteBudgetForTesting(1000);
    stream.Write(big.data(), static_cast<std::int32_t>(big.size()));
    platform::SetWriteBudgetForTesting(-1);
    EXPECT_EQ(stream.Write("more", 4), 0);
    EXPECT_FALSE(stream.Close());
}
