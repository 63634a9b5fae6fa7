// jubo-scan from outside, as a user runs it over a music folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "scan_test_support.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using scan_test::RunProgram;
using scan_test::Tags;

constexpr const char* kHeader = "Album,Artist,Title,Track,Filename,Genre,Tempo\n";

// A music folder with songs of several formats, tagged and not, a cover picture and a text
// file, a song whose tags are damaged, a folder nobody may read and a link back to the top.
void MakeMusic(const fs::path& m) {
  scan_test::WriteSong(m / "Ana/Songs, Vol. 2/07 The Long Road.ogg",
                       {"The \"Long\" Road", "Ana", "Songs, Vol. 2", "7", "Rock", "128", ""});
  scan_test::WriteSong(m / "Ana/Songs, Vol. 2/08 Untitled.flac", {});
  scan_test::WriteFile(m / "Ana/Songs, Vol. 2/cover.jpg", "\xFF\xD8\xFF\xE0 a picture");
  scan_test::WriteSong(m / "O'Dara/Blue Hour/01 Intro.mp3",
                       {"Intro", "O'Dara", "Blue Hour", "1", "Jazz", "", "Slow"});
  scan_test::WriteSong(m / "O'Dara/Blue Hour/02 \xC3\x89lan.opus",
                       {"\xC3\x89lan", "O'Dara", "Blue Hour", "2/9", "Jazz", "95", ""});
  fs::create_directory_symlink("../..", m / "O'Dara/Blue Hour/back to start");
  scan_test::WriteSong(m / "O'Dara/Live.wav", {"Live", "O'Dara", "", "", "Jazz", "150", ""});
  scan_test::WriteSong(m / "Broken/03 Broken.ogg", {"Broken", "", "", "", "", "", ""});
  std::string damaged = scan_test::ReadFile(m / "Broken/03 Broken.ogg");
  for (size_t i = 60; i < 200 && i < damaged.size(); ++i) damaged[i] ^= 0x55;
  scan_test::WriteFile(m / "Broken/03 Broken.ogg", damaged);
  scan_test::WriteSong(m / "Locked/04 Hidden Away.mp3", {"Hidden Away", "", "", "", "", "", ""});
  fs::permissions(m / "Locked", fs::perms::none);
  scan_test::WriteFile(m / "notes.txt", "ripped 2019\n");
}

// The library MakeMusic's folder gives, in the order the scan meets the files.
std::string ExpectedLibrary(const fs::path& music) {
  const std::string m = music.string();
  return std::string(kHeader) + "\"Songs, Vol. 2\",Ana,\"The \"\"Long\"\" Road\",7,\"" + m +
         "/Ana/Songs, Vol. 2/07 The Long Road.ogg\",Rock,Fast\n"
         ",,08 Untitled,,\"" +
         m +
         "/Ana/Songs, Vol. 2/08 Untitled.flac\",,\n"
         ",,03 Broken,," +
         m +
         "/Broken/03 Broken.ogg,,\n"
         "Blue Hour,O'Dara,Intro,1," +
         m +
         "/O'Dara/Blue Hour/01 Intro.mp3,Jazz,Slow\n"
         "Blue Hour,O'Dara,\xC3\x89lan,2," +
         m +
         "/O'Dara/Blue Hour/02 \xC3\x89lan.opus,Jazz,Medium\n"
         ",O'Dara,Live,," +
         m + "/O'Dara/Live.wav,Jazz,Very Fast\n";
}

std::string ExpectedProblems(const fs::path& music) {
  const std::string m = music.string();
  return "jubo-scan: " + m + "/Broken/03 Broken.ogg: not a valid OGG file; listed under its " +
         "file name\n" + "jubo-scan: cannot read folder " + m + "/Locked: Permission denied\n";
}

class JuboScanTest : public testing::Test {
 protected:
  void SetUp() override {
    music_ = dir_.path() / "Music";
    out_ = dir_.path() / "out";
    fs::create_directories(out_);
    MakeMusic(music_);
  }
  void TearDown() override {
    std::error_code gone_already;
    fs::permissions(music_ / "Locked", fs::perms::owner_all, gone_already);
  }

  std::string Library() const { return scan_test::ReadFile(out_ / "jubodb.txt"); }

  jubo_test::TempDir dir_;
  fs::path music_, out_;
};

TEST_F(JuboScanTest, WritesOneRowPerSongAndReportsWhatItCannotRead) {
  const scan_test::RunResult run =
      RunProgram(JUBO_SCAN, {music_.string()}, out_);  // into ./jubodb.txt
  EXPECT_EQ(run.status, 1) << run.err;                 // written, with problems
  EXPECT_EQ(Library(), ExpectedLibrary(music_));
  EXPECT_EQ(run.err, ExpectedProblems(music_));
  const std::regex summary(
      "6 songs, 2 albums, 2 artists, 2 genres written to jubodb.txt in "
      "[0-9]+\\.[0-9]{2} s; 2 files skipped\n");
  EXPECT_TRUE(std::regex_match(run.out, summary)) << run.out;
  EXPECT_FALSE(fs::exists(out_ / "jubodb.txt.tmp"));
  EXPECT_TRUE(fs::exists(out_ / "jubodb.txt.scan"));  // what an update compares with
  EXPECT_FALSE(fs::exists(out_ / "jubodb.txt.scan.tmp"));
}

// After a first scan: a row of an unchanged song edited in the library (to show it is kept),
// a song retagged and marked as modified two hours from now, one deleted, and one added with
// the time it had where it was copied from, two hours ago.
TEST_F(JuboScanTest, UpdateReadsOnlyWhatChangedSinceTheLibraryWasMade) {
  const fs::path library = out_ / "jubodb.txt";
  scan_test::WaitUntilSettled(dir_.path());  // else the first scan would vouch for nothing
  ASSERT_EQ(RunProgram(JUBO_SCAN, {music_.string(), "-o", library.string()}, out_).status, 1);
  const std::string m = music_.string();
  std::string text = Library();
  const std::string intro = "Blue Hour,O'Dara,Intro,1,";
  ASSERT_NE(text.find(intro), std::string::npos);
  text.replace(text.find(intro), intro.size(), "Blue Hour,O'Dara,Intro (as kept),1,");
  scan_test::WriteFile(library, text);
  scan_test::WriteSong(m + "/O'Dara/Live.wav", {"Live Again", "O'Dara", "", "", "Jazz", "", ""});
  fs::remove(m + "/Ana/Songs, Vol. 2/08 Untitled.flac");
  scan_test::WriteSong(m + "/Ana/New.mp3", {"New", "Ana", "", "", "", "", ""});
  scan_test::SetModified(m + "/O'Dara/Live.wav", scan_test::HoursFromNow(2));
  scan_test::SetModified(m + "/Ana/New.mp3", scan_test::HoursFromNow(-2));

  const scan_test::RunResult run = RunProgram(JUBO_SCAN, {m, "--update", library.string()}, out_);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(Library(), std::string(kHeader) + ",Ana,New,," + m + "/Ana/New.mp3,,\n" +
                           "\"Songs, Vol. 2\",Ana,\"The \"\"Long\"\" Road\",7,\"" + m +
                           "/Ana/Songs, Vol. 2/07 The Long Road.ogg\",Rock,Fast\n"
                           ",,03 Broken,," +
                           m +
                           "/Broken/03 Broken.ogg,,\n"
                           "Blue Hour,O'Dara,Intro (as kept),1," +
                           m +
                           "/O'Dara/Blue Hour/01 Intro.mp3,Jazz,Slow\n"
                           "Blue Hour,O'Dara,\xC3\x89lan,2," +
                           m +
                           "/O'Dara/Blue Hour/02 \xC3\x89lan.opus,Jazz,Medium\n"
                           ",O'Dara,Live Again,," +
                           m + "/O'Dara/Live.wav,Jazz,\n");
  // The damaged song is unchanged since the library was written: kept, and not reported again.
  EXPECT_EQ(run.err, "jubo-scan: cannot read folder " + m + "/Locked: Permission denied\n");
  EXPECT_NE(run.out.find("; 2 files skipped; 4 kept, 2 read, 1 gone\n"), std::string::npos)
      << run.out;
}

// No library yet; then a library another program wrote, without the record beside it.
TEST_F(JuboScanTest, UpdateWithoutARecordOfThePreviousScanReadsEverything) {
  fs::permissions(music_ / "Locked", fs::perms::owner_all);
  fs::remove_all(music_ / "Locked");
  fs::remove(music_ / "Broken/03 Broken.ogg");
  for (const char* note : {"./jubodb.txt does not exist yet; every file is read",
                           "./jubodb.txt has no ./jubodb.txt.scan beside it; every file is read"}) {
    fs::remove(out_ / "jubodb.txt.scan");
    const scan_test::RunResult run =
        RunProgram(JUBO_SCAN, {music_.string(), "--update", "."}, out_);
    EXPECT_EQ(run.status, 0) << run.err;  // the note is no problem
    EXPECT_EQ(run.err, std::string("jubo-scan: ") + note + "\n");
    EXPECT_NE(run.out.find("5 songs,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("; 0 kept, 5 read, 0 gone\n"), std::string::npos) << run.out;
  }
}

// Whatever goes wrong before the end, the library already there stays exactly as it was.
TEST_F(JuboScanTest, NothingIsWrittenWhenTheScanCannotFinish) {
  const std::string old_library = std::string(kHeader) + "A,B,C,1,/old.mp3,,\n";
  const fs::path empty = dir_.path() / "Empty";
  fs::create_directories(empty);
  scan_test::WriteFile(empty / "readme.txt", "no songs here\n");
  scan_test::WriteFile(dir_.path() / "not-a-library.txt", "Album,Title\nA,B\n");
  const std::string lib = (out_ / "jubodb.txt").string(), fifo = (out_ / "fifo.txt").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  struct Case {
    std::vector<std::string> args;
    bool temporary_blocked;  // a folder where the temporary file would go
    std::string err;         // how stderr begins
  };
  const Case kCases[] = {
      {{}, false, "jubo-scan: no music folder given\nusage: jubo-scan MUSICDIR..."},
      {{"--shuffle", music_.string()}, false, "jubo-scan: unknown option --shuffle\nusage:"},
      {{music_.string(), "-o"}, false, "jubo-scan: -o needs a file name\nusage:"},
      {{music_.string(), "-o", lib, "--output", lib}, false, "jubo-scan: --output given twice"},
      {{empty.string(), "-o", lib}, false, "jubo-scan: no songs found; " + lib + " left as it"},
      {{(dir_.path() / "Missing").string(), "-o", lib},
       false,
       "jubo-scan: cannot read folder " + (dir_.path() / "Missing").string() +
           ": No such file or directory\njubo-scan: no songs found"},
      {{music_.string(), "--update", (dir_.path() / "not-a-library.txt").string(), "-o", lib},
       false,
       "jubo-scan: " + (dir_.path() / "not-a-library.txt").string() + ": no Filename"},
      {{music_.string(), "-o", fifo, "--update", lib},
       false,
       "jubo-scan: cannot write " + fifo + ": not a regular file\n"},
      {{music_.string(), "-o", lib},
       true,
       ExpectedProblems(music_) + "jubo-scan: cannot write " + lib + ": Is a directory\n"},
  };
  for (const Case& c : kCases) {
    std::string label;
    for (const std::string& a : c.args) label += a + " ";
    scan_test::WriteFile(lib, old_library);
    if (c.temporary_blocked) fs::create_directory(lib + ".tmp");
    const scan_test::RunResult run = RunProgram(JUBO_SCAN, c.args, out_);
    EXPECT_EQ(run.status, 2) << label;
    EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << label << ": " << run.err;
    EXPECT_EQ(run.out, "") << label;
    EXPECT_EQ(Library(), old_library) << label;
    EXPECT_FALSE(fs::exists(lib + ".scan")) << label;
    EXPECT_TRUE(fs::is_fifo(fifo)) << label;
    fs::remove_all(lib + ".tmp");
  }
}

// A library reached through a symbolic link, missing at first: the scan makes it where the
// link leads, the update reads it and the record beside it there, and the link stays a link.
TEST_F(JuboScanTest, WritesThroughALinkToTheFileItLeadsTo) {
  const fs::path library = dir_.path() / "Library/jubodb.txt", link = out_ / "link.txt";
  fs::create_directories(library.parent_path());
  fs::create_symlink("../Library/jubodb.txt", link);
  for (const char* option : {"-o", "--update"}) {
    const scan_test::RunResult run =
        RunProgram(JUBO_SCAN, {music_.string(), option, link.string()}, out_);
    EXPECT_EQ(run.status, 1) << option << ": " << run.err;
    EXPECT_EQ(run.err.find("every file is read"), std::string::npos) << option << ": " << run.err;
    EXPECT_TRUE(fs::is_symlink(link)) << option;
    EXPECT_EQ(scan_test::ReadFile(library), ExpectedLibrary(music_)) << option;
    EXPECT_TRUE(fs::exists(library.string() + ".scan")) << option;
    EXPECT_FALSE(fs::exists(link.string() + ".scan")) << option;
  }
}

}  // namespace
