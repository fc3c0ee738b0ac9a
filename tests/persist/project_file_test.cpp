#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/chunks.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "random_project.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

CGroup* OneGroup(CProject& project)
{
    return new CGroup(*new CColumn(project, L"C"), L"G");
}

} // namespace

TEST(ProjectFile, FirstWorkedExample)
{
    CProject project;
    new CColumn(project, L"A");
    std::string expected = Bytes("\x6C\x69\x75\x71\x00\x00\x00\x00"
                                 "\x6C\x74\x69\x74\x00\x00\x00\x00"
                                 "\x75\x6C\x6F\x63\x09\x00\x00\x00"
                                 "\x74\x70\x61\x63\x01\x00\x00\x00\x41");
    ASSERT_EQ(expected.size(), 33u);
    EXPECT_EQ(SaveToBytes(project), expected);

    CProject loaded;
    loaded.title = L"old";
    EXPECT_GT(LoadFromBytes(loaded, expected), 0);
    EXPECT_EQ(loaded.title, L"");
    ASSERT_EQ(loaded.columns.size(), 1u);
    EXPECT_EQ(loaded.columns[0]->caption, L"A");
}

TEST(ProjectFile, SecondWorkedExampleShowsTheNesting)
{
    CProject project;
    project.title = L"T";
    CGroup* group = new CGroup(*new CColumn(project, L"C"), L"G");
    new CItemLink(*group, L"a", L"u");
    std::string expected = Bytes("\x6C\x69\x75\x71\x00\x00\x00\x00"
                                 "\x6C\x74\x69\x74\x01\x00\x00\x00\x54"
                                 "\x75\x6C\x6F\x63\x3C\x00\x00\x00"
                                 "\x74\x70\x61\x63\x01\x00\x00\x00\x43"
                                 "\x70\x75\x72\x67\x2B\x00\x00\x00"
                                 "\x74\x70\x61\x63\x01\x00\x00\x00\x47"
                                 "\x6B\x6E\x6C\x69\x1A\x00\x00\x00"
                                 "\x74\x70\x61\x63\x01\x00\x00\x00\x61"
                                 "\x20\x6C\x72\x75\x01\x00\x00\x00\x75"
                                 "\x72\x64\x76\x64\x00\x00\x00\x00");
    ASSERT_EQ(expected.size(), 85u);
    EXPECT_EQ(SaveToBytes(project), expected);

    CProject loaded;
    EXPECT_EQ(LoadFromBytes(loaded, expected), 77);
    EXPECT_EQ(DumpText(loaded), DumpText(project));
}

TEST(ProjectFile, SaveAndLoadThroughRealFiles)
{
    CTempFile file(L".quil");
    CProject project;
    project.title = L"Title \u010D";
    project.modified = true;
    new CItemLink(*OneGroup(project), L"a", L"u");
    ASSERT_TRUE(SaveProjectFile(project, file.Path()));
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(ReadFileBytes(file.Path()), SaveToBytes(project));

    CProject loaded;
    loaded.modified = true;
    EXPECT_GT(LoadProjectFile(loaded, file.Path()), 0);
    EXPECT_FALSE(loaded.modified);
    EXPECT_EQ(DumpText(loaded), DumpText(project));
}

TEST(ProjectFile, LoadResultsForFilesThatAreNoProjects)
{
    CTempFile file;
    CProject project;
    new CColumn(project, L"discarded");
    project.title = L"kept";
    EXPECT_EQ(LoadProjectFile(project, file.Path()), kLoadInvalidData); // missing
    EXPECT_TRUE(project.columns.empty());
    EXPECT_EQ(project.title, L"kept");

    WriteFileBytes(file.Path(), "");
    EXPECT_EQ(LoadProjectFile(project, file.Path()), kLoadInvalidData);
    WriteFileBytes(file.Path(), Bytes("\x6C\x69\x75\x71\x00\x00\x00"));
    EXPECT_EQ(LoadProjectFile(project, file.Path()), kLoadInvalidData);
    WriteFileBytes(file.Path(), Bytes("quil\x00\x00\x00\x00"));
    EXPECT_EQ(LoadProjectFile(project, file.Path()), kLoadInvalidData);
    WriteFileBytes(file.Path(), ProjectHeader());
    EXPECT_EQ(LoadProjectFile(project, file.Path()), kLoadHeaderOnly);

    new CColumn(project, L"discarded");
    WriteFileBytes(file.Path(), ProjectHeader(1) + Chunk("colu", Chunk("capt", "A")));
    EXPECT_EQ(LoadProjectFile(project, file.Path()), kLoadUnknownRevision);
    EXPECT_TRUE(project.columns.empty());
}

TEST(ProjectFile, FilesOf2GiBAndMoreDoNotLoad)
{
    // A good project followed by zeros (a sparse file, so it costs no disk): at 2^31 bytes the
    // chunk arithmetic would overflow, and at 2^32 + 33 the low 32 bits of the size would pass
    // for a 33-byte file.
    CProject original;
    new CColumn(original, L"A");
    const std::string good = SaveToBytes(original);
    ASSERT_EQ(good.size(), 33u);
    CTempFile file(L".quil");
    for (std::uintmax_t size : {std::uintmax_t(1) << 31, (std::uintmax_t(1) << 32) + 33}) {
        WriteFileBytes(file.Path(), good);
        std::filesystem::resize_file(std::filesystem::path(file.Path()), size);
        CProject project;
        new CColumn(project, L"discarded");
        EXPECT_EQ(LoadProjectFile(project, file.Path()), kLoadInvalidData) << size;
        EXPECT_TRUE(project.columns.empty());
    }
    // Just below the limit the file loads. A chunk header that claims more than is left ends
    // the sequence there, so the zeros behind it are skipped, not read.
    WriteFileBytes(file.Path(), good + Le32(0x7A7A7A7A) + Le32(0x7FFFFFF0));
    std::filesystem::resize_file(std::filesystem::path(file.Path()), (1u << 31) - 1);
    CProject project;
    EXPECT_GT(LoadProjectFile(project, file.Path()), 0);
    EXPECT_EQ(project.columns.size(), 1u);
}

TEST(ProjectFile, StringsAreUtf8AndCutAtAZeroByte)
{
    CProject project;
    project.title = L"\u010D\u20AC";
    std::string saved = SaveToBytes(project);
    EXPECT_EQ(saved.substr(8), Chunk("titl", "\xC4\x8D\xE2\x82\xAC"));

    CProject loaded;
    EXPECT_GT(LoadFromBytes(loaded, ProjectHeader() + Chunk("titl", Bytes("ab\0cd")) +
                                        Chunk("colu", Chunk("capt", "next"))),
              0);
    EXPECT_EQ(loaded.title, L"ab");
    ASSERT_EQ(loaded.columns.size(), 1u);
    EXPECT_EQ(loaded.columns[0]->caption, L"next");
}

TEST(ProjectFile, ForeignChunkOrderRepetitionAndEmptyPayloads)
{
    CProject loaded;
    std::string column =
        Chunk("grup", "") + Chunk("capt", "first") + Chunk("capt", "second") +
        Chunk("grup", Chunk("capt", "G") +
                          Chunk("ifrm", Chunk("fild", Chunk("optn", "") + Chunk("name", "f"))));
    EXPECT_GT(LoadFromBytes(loaded, ProjectHeader() + Chunk("colu", column)), 0);
    ASSERT_EQ(loaded.columns.size(), 1u);
    CColumn* c = loaded.columns[0];
    EXPECT_EQ(c->caption, L"second");
    ASSERT_EQ(c->groups.size(), 2u);
    EXPECT_EQ(c->groups[0]->caption, L"");
    auto* form = static_cast<CItemForm*>(c->groups[1]->items[0]);
    ASSERT_EQ(form->fields.size(), 1u);
    EXPECT_EQ(form->fields[0]->name, L"f");
    EXPECT_TRUE(form->fields[0]->options.empty());
    // Defaults of a field read from a file.
    EXPECT_EQ(form->fields[0]->type, 0);
    EXPECT_EQ(form->fields[0]->size, -1);
}

TEST(ProjectFile, EmptyLinkFieldAndOptionPayloadsCreateNothing)
{
    CProject loaded;
    std::string item = Chunk("link", "") + Chunk("url ", "u");
    std::string form = Chunk("fild", "");
    EXPECT_GT(LoadFromBytes(loaded, ProjectHeader() +
                                        Chunk("colu", Chunk("grup", Chunk("ilnk", item) +
                                                                        Chunk("ifrm", form)))),
              0);
    CGroup* group = loaded.columns[0]->groups[0];
    ASSERT_EQ(group->items.size(), 2u);
    EXPECT_TRUE(static_cast<CItemLink*>(group->items[0])->links.empty());
    EXPECT_EQ(static_cast<CItemLink*>(group->items[0])->mainLink.url, L"u");
    EXPECT_TRUE(static_cast<CItemForm*>(group->items[1])->fields.empty());
}

TEST(ProjectFile, IntegerChunksOfOtherLengths)
{
    CProject loaded;
    std::string field =
        Chunk("size", Le32(20) + Le32(99)) + Chunk("type", "\x01\x00") + Chunk("name", "after");
    EXPECT_GT(
        LoadFromBytes(loaded,
                      ProjectHeader() +
                          Chunk("colu", Chunk("grup", Chunk("ifrm", Chunk("meth", "") +
                                                                        Chunk("fild", field))))),
        0);
    auto* form = static_cast<CItemForm*>(loaded.columns[0]->groups[0]->items[0]);
    EXPECT_EQ(form->method, 0);
    ASSERT_EQ(form->fields.size(), 1u);
    EXPECT_EQ(form->fields[0]->size, 20);
    EXPECT_EQ(form->fields[0]->type, 0); // a 2-byte integer leaves the field as it was
    EXPECT_EQ(form->fields[0]->name, L"after");
}

TEST(ProjectFile, UnknownChunksSurviveWhereTheNodeWritesThemBack)
{
    std::string unknown = Chunk("zzzz", "abc");
    std::string itemPayload = Chunk("capt", "a") + unknown + Chunk("url ", "u") +
                              Chunk("dvdr", "") +
                              Chunk("link", Chunk("capt", "b") + Chunk("url ", "v"));
    std::string file =
        ProjectHeader() + Chunk("titl", "") + unknown +
        Chunk("colu", Chunk("capt", "C") + unknown +
                          Chunk("grup", Chunk("capt", "G") + Chunk("ilnk", itemPayload)));
    CProject loaded;
    EXPECT_GT(LoadFromBytes(loaded, file), 0);
    EXPECT_EQ(loaded.keptChunks.size(), 1u);
    EXPECT_EQ(loaded.columns[0]->keptChunks.size(), 1u);
    // Each kept chunk as it was read: its tag, its length and its bytes, in order.
    CItem* item = loaded.columns[0]->groups[0]->items[0];
    item->keptChunks.Append(0x79797979, "de", 2); // "yyyy", after what was read
    std::vector<std::string> seen;
    for (const CKeptChunks::Chunk chunk : item->keptChunks)
        seen.push_back(Le32(chunk.tag) + Le32(static_cast<std::uint32_t>(chunk.length)) +
                       std::string(reinterpret_cast<const char*>(chunk.bytes),
                                   static_cast<std::size_t>(chunk.length)));
    EXPECT_EQ(seen, (std::vector<std::string>{unknown, Chunk("yyyy", "de")}));
    std::string expected =
        ProjectHeader() + Chunk("titl", "") +
        Chunk("colu",
              Chunk("capt", "C") +
                  Chunk("grup",
                        Chunk("capt", "G") +
                            Chunk("ilnk",
                                  Chunk("capt", "a") + Chunk("url ", "u") + Chunk("dvdr", "") +
                                      Chunk("link", Chunk("capt", "b") + Chunk("url ", "v")) +
                                      unknown + Chunk("yyyy", "de"))));
    EXPECT_EQ(SaveToBytes(loaded), expected);
}

TEST(ProjectFile, FormWritesNameMethodActionThenFields)
{
    CProject project;
    CItemForm* form = new CItemForm(*OneGroup(project));
    form->name = L"n";
    form->action = L"a";
    CItemForm::CField* field = form->AddField(1, L"f", L"v", 7);
    field->AddOption(L"t", L"w");
    std::string optionPayload = Chunk("optn", "t") + Chunk("valu", "w");
    std::string fieldPayload = Chunk("type", Le32(1)) + Chunk("name", "f") + Chunk("valu", "v") +
                               Chunk("size", Le32(7)) + Chunk("optn", optionPayload);
    std::string formPayload = Chunk("name", "n") + Chunk("meth", Le32(0)) + Chunk("acti", "a") +
                              Chunk("fild", fieldPayload);
    EXPECT_NE(SaveToBytes(project).find(Chunk("ifrm", formPayload)), std::string::npos);
}

TEST(ProjectFile, PopupsAndHiddenFlagsAreCarriedWithoutChangingOtherFiles)
{
    CProject project;
    CGroup* group = OneGroup(project);
    CItemLink* item = new CItemLink(*group, L"a", L"u");
    item->AddLink(L"b", L"v");
    CItemForm* form = new CItemForm(*group);
    CItemForm::CField* field = form->AddField(1, L"f", L"", -1);
    field->AddOption(L"o", L"o");
    std::string plain = SaveToBytes(project);
    EXPECT_EQ(plain.find(Le32(0x706F7075)), std::string::npos);
    EXPECT_EQ(plain.find(Le32(0x6869646E)), std::string::npos);

    item->SetPopupContent(L"pop");
    field->hidden = true;
    std::string saved = SaveToBytes(project);
    std::string itemPayload = Chunk("capt", "a") + Chunk("url ", "u") + Chunk("dvdr", "") +
                              Chunk("popu", Chunk("cont", "pop")) +
                              Chunk("link", Chunk("capt", "b") + Chunk("url ", "v"));
    EXPECT_NE(saved.find(Chunk("ilnk", itemPayload)), std::string::npos);
    std::string fieldPayload = Chunk("type", Le32(1)) + Chunk("name", "f") + Chunk("valu", "") +
                               Chunk("size", Le32(static_cast<std::uint32_t>(-1))) +
                               Chunk("hidn", Le32(1)) +
                               Chunk("optn", Chunk("optn", "o") + Chunk("valu", "o"));
    EXPECT_NE(saved.find(Chunk("fild", fieldPayload)), std::string::npos);

    CProject loaded;
    ASSERT_GT(LoadFromBytes(loaded, saved), 0);
    auto* loadedItem = static_cast<CItemLink*>(loaded.columns[0]->groups[0]->items[0]);
    ASSERT_TRUE(loadedItem->popup);
    EXPECT_EQ(loadedItem->popup->content, L"pop");
    EXPECT_EQ(loadedItem->popup->parent, loadedItem);
    EXPECT_GT(loadedItem->popup->id, item->popup->id); // numbered afresh
    auto* loadedForm = static_cast<CItemForm*>(loaded.columns[0]->groups[0]->items[1]);
    EXPECT_TRUE(loadedForm->fields[0]->hidden);
    EXPECT_EQ(SaveToBytes(loaded), saved);
}

TEST(ProjectFile, DamagedInputNeverReadsOutsideItsExtent)
{
    // A column whose second chunk lies about its length, followed by a good column: the bad
    // length stops only the inner sequence; the reader stays in step.
    std::string column = Chunk("capt", "A") + Le32(0x67727570) + Le32(0x7FFFFFF0) + "xyz";
    std::string file = ProjectHeader() + Chunk("colu", column) + Chunk("colu", Chunk("capt", "B"));
    CProject loaded;
    EXPECT_GT(LoadFromBytes(loaded, file), 0);
    ASSERT_EQ(loaded.columns.size(), 2u);
    EXPECT_EQ(loaded.columns[0]->caption, L"A");
    EXPECT_EQ(loaded.columns[1]->caption, L"B");

    // Negative lengths, headers cut short and huge lengths in kept chunks.
    for (std::string tail : {Le32(0x7A7A7A7A) + Le32(0xFFFFFFFF), Bytes("\x7A\x7A\x7A"),
                             Le32(0x7A7A7A7A) + Le32(0x7FFFFFFF) + "ab"}) {
        CProject damaged;
        std::int32_t result =
            LoadFromBytes(damaged, ProjectHeader() + Chunk("colu", Chunk("capt", "A")) + tail);
        EXPECT_EQ(result, 17);
        ASSERT_EQ(damaged.columns.size(), 1u);
        EXPECT_TRUE(damaged.keptChunks.empty());
    }
}

TEST(ProjectFile, EveryTruncationOfAFileLoadsWhatItHolds)
{
    std::mt19937 random(11);
    CProject project;
    BuildRandomProject(project, random);
    std::string saved = SaveToBytes(project);
    for (std::size_t length = 0; length <= saved.size(); ++length) {
        CProject loaded;
        std::int32_t result = LoadFromBytes(loaded, saved.substr(0, length));
        if (length < 8) {
            EXPECT_EQ(result, kLoadInvalidData);
        } else {
            EXPECT_GE(result, 0);
            EXPECT_LE(result, static_cast<std::int32_t>(length) - 8);
        }
    }
}

TEST(ProjectFile, RandomProjectsSurviveSaveAndLoad)
{
    std::mt19937 random(2024);
    for (int round = 0; round < 200; ++round) {
        CProject project;
        BuildRandomProject(project, random);
        std::string saved = SaveToBytes(project);
        CProject loaded;
        ASSERT_GT(LoadFromBytes(loaded, saved), 0) << "round " << round;
        EXPECT_EQ(DumpText(loaded), DumpText(project)) << "round " << round;
        EXPECT_EQ(SaveToBytes(loaded), saved) << "round " << round;
    }
}

namespace {

// The files in the folder of `path` whose names start with the file's name.
std::vector<std::string> FilesBeside(const std::wstring& path)
{
    std::filesystem::path file(path);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
        std::string name = entry.path().filename().string();
        if (name.rfind(file.filename().string(), 0) == 0) names.push_back(name);
    }
    return names;
}

} // namespace

TEST(AtomicSave, FailedWriteLeavesTheOldFileAndTheModifiedFlag)
{
    CTempFile file(L".quil");
    CProject old;
    old.title = L"old";
    ASSERT_TRUE(SaveProjectFile(old, file.Path()));
    std::string before = ReadFileBytes(file.Path());

    CProject project;
    project.title = std::wstring(200000, L'x');
    project.modified = true;
    platform::SetWriteBudgetForTesting(70000); // the disk fills up midway
    bool saved = SaveProjectFile(project, file.Path());
    platform::SetWriteBudgetForTesting(-1);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(ReadFileBytes(file.Path()), before);
    EXPECT_EQ(FilesBeside(file.Path()).size(), 1u); // no temporary file left behind

    EXPECT_TRUE(SaveProjectFile(project, file.Path()));
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(ReadFileBytes(file.Path()), SaveToBytes(project));
    EXPECT_EQ(FilesBeside(file.Path()).size(), 1u);
}

TEST(AtomicSave, AProjectTooLargeForTheFilesLengthsFailsAndKeepsTheOldFile)
{
    CTempFile file(L".quil");
    CProject old;
    old.title = L"old";
    ASSERT_TRUE(SaveProjectFile(old, file.Path()));
    const std::string oldBytes = ReadFileBytes(file.Path());
    struct Restore
    {
        ~Restore() { SetMaxPayloadForTesting(-1); }
    } restore;
    // Stands in for the 2 GiB that the lengths allow.
    SetMaxPayloadForTesting(1000);

    // Too long somewhere down the tree: a caption, a group of many small items, a link item's
    // kept chunks, and the file as a whole (columns each within the limit).
    std::vector<std::function<void(CProject&)>> builds = {
        [](CProject& p) { new CColumn(p, std::wstring(2000, L'c')); },
        [](CProject& p) {
            CGroup* group = OneGroup(p);
            for (int i = 0; i < 40; ++i)
                new CItemLink(*group, L"caption", L"https://example.com/");
        },
        [](CProject& p) {
            auto* item = new CItemLink(*OneGroup(p), L"a", L"u");
            const std::string bytes(1500, 'k');
            item->keptChunks.Append(0x7A7A7A7A, bytes.data(), 1500);
        },
        [](CProject& p) {
            for (int i = 0; i < 10; ++i)
                new CColumn(p, std::wstring(150, L'x'));
        },
    };
    for (std::size_t i = 0; i < builds.size(); ++i) {
        CProject project;
        builds[i](project);
        // A chunk that does not fit is not written at all, since its length would wrap around;
        // only the whole file's size is left for the save to check.
        CRecordingStream recording;
        CStructStream writer(recording);
        project.Save(writer);
        const bool tooLongChunk = i + 1 < builds.size();
        EXPECT_EQ(recording.failed, tooLongChunk) << i;
        if (tooLongChunk) {
            EXPECT_LT(recording.bytes.size(), 1000u) << i;
        }

        project.modified = true;
        EXPECT_FALSE(SaveProjectFile(project, file.Path())) << i;
        EXPECT_TRUE(project.modified) << i;
        EXPECT_EQ(ReadFileBytes(file.Path()), oldBytes) << i;
        EXPECT_EQ(FilesBeside(file.Path()).size(), 1u) << i;
    }

    // Within the limit a save goes through as ever.
    CProject small;
    new CColumn(small, std::wstring(900, L's'));
    EXPECT_TRUE(SaveProjectFile(small, file.Path()));
    EXPECT_EQ(ReadFileBytes(file.Path()), SaveToBytes(small));
}

TEST(AtomicSave, UnwritableFolderReportsFailure)
{
    std::wstring path = platform::TempFolder() + L"no-such-folder-quillomere" +
                        platform::PathSeparator() + L"Quillomere.quil";
    CProject project;
    project.modified = true;
    EXPECT_FALSE(SaveProjectFile(project, path));
    EXPECT_TRUE(project.modified);
    EXPECT_FALSE(platform::FileExists(path));
}

TEST(AtomicSave, ASaveRemovesWhatKilledSavesLeftAndNothingElse)
{
    CTempFile file(L".quil");
    const std::wstring& path = file.Path();
    // Leftovers are named after their target: a killed save's, one that another save is still
    // writing, and a name that only looks alike.
    const std::wstring killedPath = path + L".saving-123", inUsePath = path + L".saving-456",
                       otherPath = path + L".saving-x1";
    struct Cleanup
    {
        std::vector<std::wstring> paths;
        ~Cleanup()
        {
            for (const std::wstring& leftover : paths)
                platform::RemoveFile(leftover);
        }
    } cleanup{{killedPath, inUsePath, otherPath}};
    WriteFileBytes(killedPath, "half a project");
    WriteFileBytes(otherPath, "not ours");
    platform::FileHandle writing = platform::CreateNewFile(inUsePath);
    ASSERT_NE(writing, platform::kInvalidHandle);

    CProject project;
    project.title = L"saved";
    ASSERT_TRUE(SaveProjectFile(project, path));
    EXPECT_FALSE(platform::PathExists(killedPath));
    EXPECT_TRUE(platform::PathExists(inUsePath)); // another save is still writing it
    EXPECT_EQ(ReadFileBytes(otherPath), "not ours");
    EXPECT_EQ(ReadFileBytes(path), SaveToBytes(project));

    platform::CloseFile(writing);
    ASSERT_TRUE(SaveProjectFile(project, path));
    EXPECT_FALSE(platform::PathExists(inUsePath));
    EXPECT_EQ(FilesBeside(path).size(), 2u); // the file and the look-alike
}

TEST(ProjectFile, APageStyleOtherThanClassicHasAChunkOfItsOwnAfterTheTitle)
{
    CProject project;
    project.title = L"T";
    new CColumn(project, L"A");
    const std::string column = Chunk("colu", Chunk("capt", "A"));
    const std::string classic = ProjectHeader() + Chunk("titl", "T") + column;
    EXPECT_EQ(SaveToBytes(project), classic);

    project.pageStyle = PageStyle::Modern;
    const std::string modern =
        ProjectHeader() + Chunk("titl", "T") + Chunk("styl", Le32(1)) + column;
    EXPECT_EQ(SaveToBytes(project), modern);
    CProject loaded;
    EXPECT_GT(LoadFromBytes(loaded, modern), 0);
    EXPECT_EQ(loaded.pageStyle, PageStyle::Modern);
    EXPECT_TRUE(loaded.keptChunks.empty());
    EXPECT_EQ(SaveToBytes(loaded), modern);

    // A file without the chunk is Classic, whatever the project was before.
    EXPECT_GT(LoadFromBytes(loaded, classic), 0);
    EXPECT_EQ(loaded.pageStyle, PageStyle::Classic);
    // Anywhere in the sequence; a style of a later version is kept as it was read.
    const std::string later =
        ProjectHeader() + Chunk("titl", "T") + column + Chunk("styl", Le32(7));
    EXPECT_GT(LoadFromBytes(loaded, later), 0);
    EXPECT_EQ(static_cast<std::int32_t>(loaded.pageStyle), 7);
    EXPECT_NE(DumpText(loaded).find("style 7 (unknown; written as classic)"), std::string::npos);
    EXPECT_EQ(SaveToBytes(loaded),
              ProjectHeader() + Chunk("titl", "T") + Chunk("styl", Le32(7)) + column);
    // An empty chunk leaves the style alone, as every empty integer chunk does.
    EXPECT_GT(LoadFromBytes(loaded, ProjectHeader() + Chunk("styl", Le32(1)) + Chunk("styl", "")),
              0);
    EXPECT_EQ(loaded.pageStyle, PageStyle::Modern);
}

TEST(ProjectFile, AColumnsTabHasAChunkOfItsOwnOnlyWhenItHasOne)
{
    CProject project;
    project.title = L"T";
    CColumn* column = new CColumn(project, L"A");
    new CGroup(*column, L"G");
    const std::string group = Chunk("grup", Chunk("capt", "G"));
    const std::string without =
        ProjectHeader() + Chunk("titl", "T") + Chunk("colu", Chunk("capt", "A") + group);
    EXPECT_EQ(SaveToBytes(project), without);

    // After the caption, in UTF-8, as it was typed.
    column->tab = L" Play & f\u00FCn ";
    const std::string with =
        ProjectHeader() + Chunk("titl", "T") +
        Chunk("colu", Chunk("capt", "A") + Chunk("tab ", " Play & f\xC3\xBCn ") + group);
    EXPECT_EQ(SaveToBytes(project), with);
    CProject loaded;
    EXPECT_GT(LoadFromBytes(loaded, with), 0);
    EXPECT_EQ(loaded.columns[0]->tab, L" Play & f\u00FCn ");
    EXPECT_TRUE(loaded.columns[0]->keptChunks.empty());
    EXPECT_EQ(SaveToBytes(loaded), with);
    EXPECT_NE(DumpText(loaded).find("    tab \" Play & f\xC3\xBCn \"\n"), std::string::npos);

    // A tab taken away again leaves the file it was; a file of before loads without tabs.
    column->tab.clear();
    EXPECT_EQ(SaveToBytes(project), without);
    EXPECT_GT(LoadFromBytes(loaded, without), 0);
    EXPECT_EQ(loaded.columns[0]->tab, L"");

    // A build without tabs meets a chunk it does not know inside the column: it passes over it
    // and reads the rest, as here with the tag made unknown (its characters stand reversed).
    std::string older = with;
    older.replace(older.find(" bat"), 4, "zzzz");
    EXPECT_GT(LoadFromBytes(loaded, older), 0);
    EXPECT_EQ(loaded.columns[0]->caption, L"A");
    EXPECT_EQ(loaded.columns[0]->groups[0]->caption, L"G");
    EXPECT_EQ(SaveToBytes(loaded), without);
}
