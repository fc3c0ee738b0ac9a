#include "services/paths.h"

#include <gtest/gtest.h>

TEST(Paths, RootsAreNotUsableFolders)
{
    for (const wchar_t* root : {L"", L"\\", L"/", L"C:", L"C:\\", L"c:/", L"\\\\server",
                                L"\\\\server\\share", L"\\\\server\\share\\", L"\\\\?\\D:\\"}) {
        EXPECT_TRUE(IsRootFolder(root)) << root;
    }
    for (const wchar_t* folder :
         {L"C:\\Users\\Ann\\Documents", L"D:\\Docs\\", L"\\\\server\\share\\docs", L"relative"}) {
        EXPECT_FALSE(IsRootFolder(folder)) << folder;
    }
}

TEST(Paths, TheShellsDocumentsFolderIsUsedWhateverItIs)
{
    const std::vector<std::wstring> fallbacks = {L"C:\\Users\\Ann", L"C:\\Work"};
    for (const wchar_t* documents :
         {L"C:\\Users\\Ann\\Documents", L"D:\\", L"\\\\fs01\\ann$", L"\\\\fs01\\home\\ann"}) {
        EXPECT_EQ(ChooseFolder(documents, fallbacks), documents);
    }
}

TEST(Paths, WithoutADocumentsFolderTheFirstUsableFallbackStandsIn)
{
    EXPECT_EQ(ChooseFolder(L"", {L"C:\\Users\\Ann\\", L"C:\\Work"}), L"C:\\Users\\Ann");
    EXPECT_EQ(ChooseFolder(L"", {L"", L"C:\\", L"C:\\Users\\Ann\\AppData\\Local\\Temp\\"}),
              L"C:\\Users\\Ann\\AppData\\Local\\Temp");
    EXPECT_EQ(ChooseFolder(L"", {L"", L"E:\\"}), L"");
}

TEST(Paths, FilePathsFollowTheFolderWithOneBackslash)
{
    BuildFilePaths(L"C:\\Users\\Ann\\Documents");
    EXPECT_EQ(DocumentsFolder, L"C:\\Users\\Ann\\Documents");
    EXPECT_EQ(ProjectFilePath, L"C:\\Users\\Ann\\Documents\\Quillomere.quil");
    EXPECT_EQ(HomepageFilePath, L"C:\\Users\\Ann\\Documents\\Quillomere.html");

    BuildFilePaths(L"D:\\");
    EXPECT_EQ(DocumentsFolder, L"D:\\");
    EXPECT_EQ(ProjectFilePath, L"D:\\Quillomere.quil");
    EXPECT_EQ(HomepageFilePath, L"D:\\Quillomere.html");

    BuildFilePaths(L"\\\\fs01\\ann$");
    EXPECT_EQ(ProjectFilePath, L"\\\\fs01\\ann$\\Quillomere.quil");
}
