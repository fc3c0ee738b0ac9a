// The run's project file: how start-up fills the project, and that a file that did not load is
// moved aside, never replaced unseen, by the first save. Likewise a file of the homepage's name
// that is no page of ours, before the homepage is written over it.
#include "homepage/page_writer.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "platform/platform.h"
#include "services/paths.h"
#include "services/project_store.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Points the program's file paths into a fresh folder for one test.
class ProjectStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::path folderPath(folderFile.Path());
        std::filesystem::create_directory(folderPath);
        folder = folderFile.Path() + platform::PathSeparator();
        DocumentsFolder = folderFile.Path();
        ProjectFilePath = folder + L"Quillomere.quil";
        HomepageFilePath = folder + L"Quillomere.html";
    }
    void TearDown() override { std::filesystem::remove_all(folderFile.Path()); }

    std::wstring Unreadable(const wchar_t* suffix = L"") const
    {
        return folder + L"Quillomere (unreadable" + suffix + L").quil";
    }
    std::size_t FilesInFolder() const
    {
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folderFile.Path())) {
            (void)entry;
            ++count;
        }
        return count;
    }
    static std::string ProjectBytes(const wchar_t* title)
    {
        CProject project;
        project.title = title;
        new CColumn(project, L"C");
        return SaveToBytes(project);
    }

    CTempFile folderFile{L".folder"};
    std::wstring folder;
};

} // namespace

TEST_F(ProjectStoreTest, StartUpLoadsElseImportsElseBuildsTheSample)
{
    CProject sample;
    sample.modified = true;
    FillProjectOfRun(sample);
    EXPECT_EQ(sample.title, L"New project");
    EXPECT_FALSE(sample.modified);

    {
        CProject page;
        page.title = L"From the page";
        CFileStream file(HomepageFilePath, true);
        WritePage(page, file);
    }
    CProject imported;
    FillProjectOfRun(imported);
    EXPECT_EQ(imported.title, L"From the page");

    WriteFileBytes(ProjectFilePath, ProjectBytes(L"From the file"));
    CProject loaded;
    loaded.modified = true;
    FillProjectOfRun(loaded);
    EXPECT_EQ(loaded.title, L"From the file");
    EXPECT_FALSE(loaded.modified);
    ASSERT_TRUE(SaveProjectOfRun(loaded));
    EXPECT_EQ(FilesInFolder(), 2u); // a file that loaded is simply replaced
}

TEST_F(ProjectStoreTest, AFileThatDidNotLoadIsMovedAsideByTheFirstSaveOnly)
{
    const std::string damaged = "not a project file at all";
    WriteFileBytes(ProjectFilePath, damaged);
    CProject project;
    FillProjectOfRun(project);
    EXPECT_EQ(project.title, L"New project"); // start-up went on to the sample
    EXPECT_EQ(ReadFileBytes(ProjectFilePath), damaged);

    project.modified = true;
    ASSERT_TRUE(SaveProjectOfRun(project));
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(ReadFileBytes(Unreadable()), damaged);
    EXPECT_EQ(ReadFileBytes(ProjectFilePath), SaveToBytes(project));

    project.title = L"Second save";
    ASSERT_TRUE(SaveProjectOfRun(project));
    EXPECT_EQ(ReadFileBytes(Unreadable()), damaged);
    EXPECT_EQ(ReadFileBytes(ProjectFilePath), SaveToBytes(project));
    EXPECT_FALSE(platform::PathExists(Unreadable(L" 2")));
    EXPECT_EQ(FilesInFolder(), 2u);
}

TEST_F(ProjectStoreTest, EachKindOfFileThatDoesNotLoadGetsTheNextFreeName)
{
    // A later version's file, a header without chunks, a file cut short: none loads.
    const std::string laterVersion = Bytes("\x6C\x69\x75\x71\x01\x00\x00\x00") + "future";
    const std::string headerOnly = Bytes("\x6C\x69\x75\x71\x00\x00\x00\x00");
    const std::string cutShort = Bytes("\x6C\x69\x75");
    WriteFileBytes(Unreadable(L" 2"), "taken by the user");
    int run = 0;
    for (const std::string& bytes : {laterVersion, headerOnly, cutShort}) {
        WriteFileBytes(ProjectFilePath, bytes);
        CProject project;
        FillProjectOfRun(project);
        project.title = L"run " + std::to_wstring(++run);
        ASSERT_TRUE(SaveProjectOfRun(project));
        EXPECT_EQ(ReadFileBytes(ProjectFilePath), SaveToBytes(project));
    }
    EXPECT_EQ(ReadFileBytes(Unreadable()), laterVersion);
    EXPECT_EQ(ReadFileBytes(Unreadable(L" 2")), "taken by the user");
    EXPECT_EQ(ReadFileBytes(Unreadable(L" 3")), headerOnly);
    EXPECT_EQ(ReadFileBytes(Unreadable(L" 4")), cutShort);
}

TEST_F(ProjectStoreTest, AFileGoneBeforeTheSaveIsNotLookedFor)
{
    WriteFileBytes(ProjectFilePath, "damaged");
    CProject project;
    FillProjectOfRun(project);
    platform::RemoveFile(ProjectFilePath);
    ASSERT_TRUE(SaveProjectOfRun(project));
    EXPECT_EQ(FilesInFolder(), 1u);
    EXPECT_EQ(ReadFileBytes(ProjectFilePath), SaveToBytes(project));
}

TEST_F(ProjectStoreTest, PagesOfEitherStyleAreTold)
{
    CProject project;
    project.title = L"Start";
    new CColumn(project, L"C");
    for (PageStyle style : {PageStyle::Classic, PageStyle::Modern}) {
        project.pageStyle = style;
        const std::string page = GeneratedPage(project);
        EXPECT_TRUE(IsPageOfThisProgram(page));
        EXPECT_TRUE(IsPageOfThisProgram("\xEF\xBB\xBF" + page));
        // Cut short before its start is whole, it is not told from another file.
        EXPECT_FALSE(IsPageOfThisProgram(page.substr(0, 20)));
    }
    EXPECT_FALSE(IsPageOfThisProgram(""));
    EXPECT_FALSE(IsPageOfThisProgram("<html><head><title>Mine</title></head></html>"));
    EXPECT_FALSE(IsPageOfThisProgram("<!DOCTYPE html>\r\n<html lang=\"en\">"));
    EXPECT_FALSE(IsPageOfThisProgram(" " + GeneratedPage(project)));
}

TEST_F(ProjectStoreTest, AFileOfTheHomepagesNameThatIsNoPageOfOursIsKeptAsideEachTime)
{
    auto earlier = [this](const wchar_t* suffix) {
        return folder + L"Quillomere (earlier" + suffix + L").html";
    };
    CProject project;
    project.title = L"Start";
    WriteFileBytes(earlier(L""), "taken by the user");
    WriteFileBytes(HomepageFilePath, "<p>Another program's page</p>");

    HomepageWrite write = WriteHomepageOfRun(project);
    EXPECT_TRUE(write.written);
    EXPECT_EQ(write.keptAside, earlier(L" 2"));
    EXPECT_EQ(ReadFileBytes(earlier(L" 2")), "<p>Another program's page</p>");
    EXPECT_EQ(ReadFileBytes(HomepageFilePath), GeneratedPage(project));

    // Our page is written over; so is an empty file, which holds nothing to keep.
    project.title = L"Again";
    write = WriteHomepageOfRun(project);
    EXPECT_TRUE(write.written);
    EXPECT_EQ(write.keptAside, L"");
    WriteFileBytes(HomepageFilePath, "");
    EXPECT_EQ(WriteHomepageOfRun(project).keptAside, L"");
    EXPECT_EQ(ReadFileBytes(HomepageFilePath), GeneratedPage(project));

    // No file at all, then another foreign one.
    platform::RemoveFile(HomepageFilePath);
    EXPECT_TRUE(WriteHomepageOfRun(project).written);
    WriteFileBytes(HomepageFilePath, "x");
    EXPECT_EQ(WriteHomepageOfRun(project).keptAside, earlier(L" 3"));
    EXPECT_EQ(ReadFileBytes(earlier(L"")), "taken by the user");
    EXPECT_EQ(FilesInFolder(), 4u);
}

TEST_F(ProjectStoreTest, AHomepageThatCannotBeWrittenSaysSo)
{
    std::filesystem::create_directory(std::filesystem::path(HomepageFilePath));
    CProject project;
    const HomepageWrite write = WriteHomepageOfRun(project);
    EXPECT_FALSE(write.written);
    EXPECT_EQ(write.keptAside, L"");
}
