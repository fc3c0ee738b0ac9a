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
#include <string>

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
        recoveryFolder = folder + L"Recovery" + platform::PathSeparator();
        RecoveryFilePath = recoveryFolder + L"Quillomere.quil";
    }
    void TearDown() override
    {
        WaitForRecoveryOfRun();
        RecoveryFilePath.clear();
        std::filesystem::remove_all(folderFile.Path());
    }

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

    // What another program does to the project file: writes it anew, beside and then over it.
    void WriteElsewhere(const std::string& bytes) const
    {
        WriteFileBytes(folder + L"other.tmp", bytes);
        ASSERT_TRUE(platform::MoveReplacing(folder + L"other.tmp", ProjectFilePath));
    }
    std::wstring ChangedElsewhere(const wchar_t* suffix = L"") const
    {
        return folder + L"Quillomere (changed elsewhere" + suffix + L").quil";
    }

    CTempFile folderFile{L".folder"};
    std::wstring folder;
    std::wstring recoveryFolder;
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

TEST_F(ProjectStoreTest, KeptFilesAreNamedAfterWhyTheyWereKept)
{
    EXPECT_EQ(KeptAsideName(L"C:\\Docs\\", L"unreadable", 1),
              L"C:\\Docs\\Quillomere (unreadable).quil");
    EXPECT_EQ(KeptAsideName(L"", L"changed elsewhere", 2),
              L"Quillomere (changed elsewhere 2).quil");
    EXPECT_EQ(KeptAsideName(L"/r/", L"recovery, unreadable", 12),
              L"/r/Quillomere (recovery, unreadable 12).quil");

    // The first free name; a file that is not there is not moved.
    WriteFileBytes(ChangedElsewhere(), "taken");
    WriteFileBytes(ProjectFilePath, "first");
    EXPECT_EQ(KeepAside(ProjectFilePath, L"changed elsewhere"), ChangedElsewhere(L" 2"));
    EXPECT_EQ(ReadFileBytes(ChangedElsewhere(L" 2")), "first");
    EXPECT_EQ(KeepAside(ProjectFilePath, L"changed elsewhere"), L"");
    EXPECT_EQ(ReadFileBytes(ChangedElsewhere()), "taken");
}

TEST_F(ProjectStoreTest, AFileChangedByAnotherProgramIsSeenAndReloaded)
{
    const std::string first = ProjectBytes(L"First");
    WriteFileBytes(ProjectFilePath, first);
    CProject project;
    EXPECT_EQ(ProjectFileStateOfRun(), ProjectFileState::NotWatched);
    FillProjectOfRun(project);
    EXPECT_EQ(ProjectFileStateOfRun(), ProjectFileState::Unchanged);

    // Written again with the same bytes (a newer time, maybe): nothing to load.
    WriteElsewhere(first);
    EXPECT_EQ(ProjectFileStateOfRun(), ProjectFileState::Unchanged);

    const std::string second = ProjectBytes(L"Second, longer");
    WriteElsewhere(second);
    EXPECT_EQ(ProjectFileStateOfRun(), ProjectFileState::Changed);
    EXPECT_EQ(ProjectFileStateOfRun(), ProjectFileState::Changed);
    CProject loaded;
    ASSERT_TRUE(LoadChangedProjectFile(loaded));
    EXPECT_EQ(loaded.title, L"Second, longer");
    EXPECT_FALSE(loaded.modified);
    EXPECT_EQ(ProjectFileStateOfRun(), ProjectFileState::Unchanged);

    // A file that does not load is not taken, and stays a change.
    WriteElsewhere("damaged");
    CProject notLoaded;
    EXPECT_FALSE(LoadChangedProjectFile(notLoaded));
    EXPECT_EQ(ProjectFileStateOfRun(), ProjectFileState::Changed);

    // Removed; another path is not this run's file.
    platform::RemoveFile(ProjectFilePath);
    EXPECT_EQ(ProjectFileStateOfRun(), ProjectFileState::Removed);
    EXPECT_FALSE(LoadChangedProjectFile(notLoaded));
    ProjectFilePath = folder + L"Other.quil";
    EXPECT_EQ(ProjectFileStateOfRun(), ProjectFileState::NotWatched);
}

TEST_F(ProjectStoreTest, ASaveKeepsAsideWhatAnotherProgramWroteThere)
{
    WriteFileBytes(ProjectFilePath, ProjectBytes(L"Loaded"));
    CProject project;
    FillProjectOfRun(project);
    std::wstring kept = L"stale";
    ASSERT_TRUE(SaveProjectOfRun(project, &kept));
    EXPECT_EQ(kept, L"") << "the run's own file is simply replaced";

    // Another program writes the file; each save keeps what it finds under the next name, byte
    // for byte, and the project goes where it was.
    const std::string theirs = ProjectBytes(L"Theirs");
    WriteElsewhere(theirs);
    project.title = L"Mine";
    ASSERT_TRUE(SaveProjectOfRun(project, &kept));
    EXPECT_EQ(kept, ChangedElsewhere());
    EXPECT_EQ(ReadFileBytes(ChangedElsewhere()), theirs);
    EXPECT_EQ(ReadFileBytes(ProjectFilePath), SaveToBytes(project));

    // Even the same size and time as the run's file: the bytes decide at a save.
    const std::string mine = ReadFileBytes(ProjectFilePath);
    std::string same = mine;
    same[same.size() - 1] ^= 1;
    WriteFileBytes(ProjectFilePath, same);
    ASSERT_TRUE(SaveProjectOfRun(project, &kept));
    EXPECT_EQ(kept, ChangedElsewhere(L" 2"));
    EXPECT_EQ(ReadFileBytes(ChangedElsewhere(L" 2")), same);

    // A file removed by another program leaves nothing to keep.
    platform::RemoveFile(ProjectFilePath);
    ASSERT_TRUE(SaveProjectOfRun(project, &kept));
    EXPECT_EQ(kept, L"");
    EXPECT_EQ(FilesInFolder(), 3u);
}

TEST_F(ProjectStoreTest, TheRecoveryFileIsWrittenFromACopyAndGoesWithASave)
{
    WriteFileBytes(ProjectFilePath, ProjectBytes(L"Saved"));
    CProject project;
    FillProjectOfRun(project);
    project.title = L"Changed";
    project.modified = true;
    // The folder is made as needed; the flag stays.
    ASSERT_TRUE(WriteRecoveryOfRunNow(project));
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(ReadFileBytes(RecoveryFilePath), SaveToBytes(project));
    project.modified = true;

    // A copy handed to the thread holds the project as it was then.
    WriteRecoveryOfRunLater(project);
    project.title = L"Changed after the copy";
    WaitForRecoveryOfRun();
    CProject recovered;
    ASSERT_GT(LoadProjectFile(recovered, RecoveryFilePath), 0);
    EXPECT_EQ(recovered.title, L"Changed");

    ASSERT_TRUE(SaveProjectOfRun(project));
    EXPECT_FALSE(platform::PathExists(RecoveryFilePath));
    ASSERT_TRUE(WriteRecoveryOfRunNow(project));
    DiscardRecoveryOfRun();
    EXPECT_FALSE(platform::PathExists(RecoveryFilePath));

    // Without a recovery path nothing is written.
    RecoveryFilePath.clear();
    EXPECT_FALSE(WriteRecoveryOfRunNow(project));
    EXPECT_EQ(FindRecoveryOfRun(), RecoveryFound::None);
}

TEST_F(ProjectStoreTest, StartUpFindsARecoveryFileThatDiffersFromTheProjectFile)
{
    EXPECT_EQ(FindRecoveryOfRun(), RecoveryFound::None);
    const std::string saved = ProjectBytes(L"Saved");
    WriteFileBytes(ProjectFilePath, saved);
    std::filesystem::create_directory(std::filesystem::path(recoveryFolder));

    // The same bytes as the project file: nothing to ask about, and the file goes.
    WriteFileBytes(RecoveryFilePath, saved);
    EXPECT_EQ(FindRecoveryOfRun(), RecoveryFound::None);
    EXPECT_FALSE(platform::PathExists(RecoveryFilePath));

    const std::string unsaved = ProjectBytes(L"Unsaved");
    WriteFileBytes(RecoveryFilePath, unsaved);
    CProject project;
    FillProjectOfRun(project);
    EXPECT_EQ(FindRecoveryOfRun(), RecoveryFound::Restorable);
    ASSERT_TRUE(RestoreRecoveryOfRun(project));
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(SaveToBytes(project), unsaved);
    ASSERT_EQ(project.columns.size(), 1u);
    EXPECT_EQ(project.columns[0]->parent, &project);
    EXPECT_TRUE(platform::PathExists(RecoveryFilePath)) << "kept until a save or a clean quit";
}

TEST_F(ProjectStoreTest, ARecoveryFileThatDoesNotLoadIsKeptAsideWithoutAQuestion)
{
    std::filesystem::create_directory(std::filesystem::path(recoveryFolder));
    const std::wstring aside = recoveryFolder + L"Quillomere (recovery, unreadable).quil";
    for (const std::string& damaged :
         {std::string("cut"), Bytes("\x6C\x69\x75\x71\x00\x00\x00\x00")}) {
        WriteFileBytes(RecoveryFilePath, damaged);
        EXPECT_EQ(FindRecoveryOfRun(), RecoveryFound::Unreadable);
        EXPECT_FALSE(platform::PathExists(RecoveryFilePath));
    }
    EXPECT_EQ(ReadFileBytes(aside), "cut");
    EXPECT_EQ(ReadFileBytes(recoveryFolder + L"Quillomere (recovery, unreadable 2).quil"),
              Bytes("\x6C\x69\x75\x71\x00\x00\x00\x00"));
    CProject project;
    EXPECT_FALSE(RestoreRecoveryOfRun(project));
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
