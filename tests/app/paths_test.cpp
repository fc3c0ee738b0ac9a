#include "app/paths.h"

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

TEST(Paths, TheFirstUsableCandidateWinsWithoutTrailingBackslash)
{
    EXPECT_EQ(ChooseFolder({L"C:\\Users\\Ann\\Documents", L"C:\\Users\\Ann"}),
              L"C:\\Users\\Ann\\Documents");
    // The documents folder could not be determined: the profile stands in.
    EXPECT_EQ(ChooseFolder({L"", L"C:\\Users\\Ann\\", L"C:\\Work"}), L"C:\\Users\\Ann");
    EXPECT_EQ(ChooseFolder({L"", L"C:\\", L"C:\\Work"}), L"C:\\Work");
    EXPECT_EQ(ChooseFolder({L"", L"E:\\"}), L"");
}

TEST(Paths, FilePathsFollowTheFolder)
{
    BuildFilePaths(L"C:\\Users\\Ann\\Documents");
    EXPECT_EQ(DocumentsFolder, L"C:\\Users\\Ann\\Documents");
    EXPECT_EQ(ProjectFilePath, L"C:\\Users\\Ann\\Documents\\Quillomere.quil");
    EXPECT_EQ(HomepageFilePath, L"C:\\Users\\Ann\\Documents\\Quillomere.html");
}
