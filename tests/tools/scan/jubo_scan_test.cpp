// jubo-scan from outside, as a user runs it over a music folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "scan_test_support.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using scan_test::RunProgram;
using scan_test::RunResult;

// Sets the modification time of `path` to `hours` from now (before it when negative).
void SetModified(const fs::path& path, int hours) {
  timespec times[2] = {{0, UTIME_OMIT}, {}};
  clock_gettime(CLOCK_REALTIME, &times[1]);
  times[1].tv_sec += hours * 3600;
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// Waits until a file made in `folder` gets a later status-change time than every file below
// it (readable to this process), however coarse the file system's clock: files a scan that
// starts then counts as settled. Fails the calling test after a minute.
void WaitUntilSettled(const fs::path& folder) {
  const auto later = [](const timespec& a, const timespec& b) {
    return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec);
  };
  timespec newest{};
  std::error_code error;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(
           folder, fs::directory_options::skip_permission_denied, error)) {
    struct stat info;
    if (lstat(entry.path().c_str(), &info) == 0 && later(info.st_ctim, newest)) {
      newest = info.st_ctim;
    }
  }
  const fs::path probe = folder / ".settled-probe";
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (std::chrono::steady_clock::now() < give_up) {
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    struct stat info;
    const bool made = fd >= 0 && fstat(fd, &info) == 0;
    if (fd >= 0) close(fd);
    unlink(probe.c_str());
    ASSERT_TRUE(made) << probe;
    if (later(info.st_ctim, newest)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ADD_FAILURE() << "the file system's clock never passed the files below " << folder;
}

constexpr const char* kHeader = "Album,Artist,Title,Track,Filename,Genre,Tempo\n";

// A music folder with songs of several formats, tagged and not, and what a walk must pass over
// or report: a cover picture and a text file, hidden names (macOS's ._ copies, a trash folder),
// a link to a song met already, a link to nothing, a FIFO, a name that is not UTF-8, a song
// nobody may read, one whose tags are damaged in a folder named like a song, a folder nobody
// may read and a link back to the top.
void MakeMusic(const fs::path& m) {
  scan_test::WriteSong(m / "Ana/Songs, Vol. 2/07 The Long Road.ogg",
                       {"The \"Long\" Road", "Ana", "Songs, Vol. 2", "7", "Rock", "128", ""});
  scan_test::WriteSong(m / "Ana/Songs, Vol. 2/08 Untitled.flac", {});
  // Two artists, a blank title, no track, no beats but the tagger's own tempo word.
  scan_test::WriteSong(m / "Ana/Songs, Vol. 2/09 Duet.flac",
                       {"   ", "Ana\nBo", "Songs, Vol. 2", "0", "Rock", "0", "Moderate"});
  scan_test::WriteFile(m / "Ana/Songs, Vol. 2/cover.jpg", "\xFF\xD8\xFF\xE0 a picture");
  scan_test::WriteFile(m / "Ana/Songs, Vol. 2/._07 The Long Road.ogg", "a resource fork");
  scan_test::WriteFile(m / "Ana/.Trash-1000/old.mp3", "deleted");
  fs::create_symlink("Songs, Vol. 2/07 The Long Road.ogg", m / "Ana/link.ogg");
  fs::create_symlink("nowhere.mp3", m / "Ana/gone.mp3");
  ASSERT_EQ(mkfifo((m / "Ana/fifo.mp3").c_str(), 0600), 0);
  scan_test::WriteFile(m / "Ana/bad\xE9.mp3", "a Windows-1252 name");
  scan_test::WriteSong(m / "Ana/locked.flac", {"Locked", "", "", "", "", "", ""});
  fs::permissions(m / "Ana/locked.flac", fs::perms::none);
  scan_test::WriteSong(m / "O'Dara/Blue Hour/01 Intro.mp3",
                       {"Intro", "O'Dara", "Blue Hour", "1", "Jazz", "", "Slow"});
  // Genres count as Jubo lists them: "jazz" is "Jazz".
  scan_test::WriteSong(m / "O'Dara/Blue Hour/02 \xC3\x89lan.opus",
                       {"\xC3\x89lan", "O'Dara", "Blue Hour", "2/9", "jazz", "95", ""});
  scan_test::WriteSong(m / "O'Dara/Blue Hour/03 Old Rip.mp3",
                       {"Old Rip", "O'Dara", "Blue Hour", "03", "Jazz", "", ""}, true);  // ID3v1
  fs::create_directory_symlink("../..", m / "O'Dara/Blue Hour/back to start");
  scan_test::WriteSong(m / "O'Dara/Live.wav", {"Live", "O'Dara", "", "", "Jazz", "150", ""});
  scan_test::WriteSong(m / "Broken.ogg/03 Broken.ogg", {"Broken", "", "", "", "", "", ""});
  std::string damaged = scan_test::ReadFile(m / "Broken.ogg/03 Broken.ogg");
  for (size_t i = 60; i < 200 && i < damaged.size(); ++i) damaged[i] ^= 0x55;
  scan_test::WriteFile(m / "Broken.ogg/03 Broken.ogg", damaged);
  scan_test::WriteSong(m / "Locked/04 Hidden Away.mp3", {"Hidden Away", "", "", "", "", "", ""});
  fs::permissions(m / "Locked", fs::perms::none);
  scan_test::WriteFile(m / "notes.txt", "ripped 2019\n");
}

// `text` with every $M replaced by the music folder `m`, and $O by the folder beside it whose
// name begins with the music folder's.
std::string WithMusic(std::string text, const fs::path& m) {
  for (size_t at; (at = text.find('$')) != std::string::npos;) {
    text.replace(at, 2, m.string() + (text[at + 1] == 'M' ? "" : "al"));
  }
  return text;
}

// The library MakeMusic's folder gives, in the order the scan meets the files.
std::string ExpectedLibrary(const fs::path& music) {
  return WithMusic(
      std::string(kHeader) +
          R"("Songs, Vol. 2",Ana,"The ""Long"" Road",7,"$M/Ana/Songs, Vol. 2/07 The Long Road.ogg",Rock,Fast
,,08 Untitled,,"$M/Ana/Songs, Vol. 2/08 Untitled.flac",,
"Songs, Vol. 2",Ana; Bo,09 Duet,,"$M/Ana/Songs, Vol. 2/09 Duet.flac",Rock,Moderate
,,locked,,$M/Ana/locked.flac,,
,,03 Broken,,$M/Broken.ogg/03 Broken.ogg,,
Blue Hour,O'Dara,Intro,1,$M/O'Dara/Blue Hour/01 Intro.mp3,Jazz,Slow
Blue Hour,O'Dara,Élan,2,$M/O'Dara/Blue Hour/02 Élan.opus,jazz,Medium
Blue Hour,O'Dara,Old Rip,3,$M/O'Dara/Blue Hour/03 Old Rip.mp3,Jazz,
,O'Dara,Live,,$M/O'Dara/Live.wav,Jazz,Very Fast
)",
      music);
}

// What the scan reports, in the order it meets it; an update reads neither song again.
std::string ExpectedProblems(const fs::path& music, bool update = false) {
  return WithMusic(
      "jubo-scan: $M/Ana/bad\xE9.mp3: the name is not valid UTF-8; rename it to list it\n"
      "jubo-scan: cannot read $M/Ana/gone.mp3: No such file or directory\n" +
          std::string(update ? ""
                             : "jubo-scan: $M/Ana/locked.flac: Permission denied; listed "
                               "under its file name\njubo-scan: $M/Broken.ogg/03 Broken.ogg: "
                               "not a valid OGG file; listed under its file name\n") +
          "jubo-scan: cannot read folder $M/Locked: Permission denied\n",
      music);
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
  const RunResult run = RunProgram(JUBO_SCAN, {music_.string()}, out_);  // into ./jubodb.txt
  EXPECT_EQ(run.status, 1) << run.err;                                   // written, with problems
  EXPECT_EQ(Library(), ExpectedLibrary(music_));
  EXPECT_EQ(run.err, ExpectedProblems(music_));
  const std::regex summary(
      "9 songs, 2 albums, 3 artists, 2 genres written to jubodb.txt in "
      "[0-9]+\\.[0-9]{2} s; 7 files skipped\n");
  EXPECT_TRUE(std::regex_match(run.out, summary)) << run.out;
  for (const auto& entry : fs::directory_iterator(out_)) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  }
}

// After a first scan: a row of an unchanged song edited in the library (to show it is kept),
// a song retagged and marked as modified two hours from now, one deleted, and one added with
// the time it had where it was copied from, two hours ago. Rows added to the library: a song
// behind the lock and one outside the music folder are kept, one outside that is gone is not,
// and a second row of a file is dropped. The update names the music folder relative to where
// it runs.
TEST_F(JuboScanTest, UpdateReadsOnlyWhatChangedSinceTheLibraryWasMade) {
  const fs::path library = out_ / "jubodb.txt";
  WaitUntilSettled(dir_.path());  // else the first scan would vouch for nothing
  ASSERT_EQ(RunProgram(JUBO_SCAN, {music_.string(), "-o", library.string()}, out_).status, 1);
  std::string text = Library();
  const std::string intro = "Blue Hour,O'Dara,Intro,1,";
  ASSERT_NE(text.find(intro), std::string::npos);
  text.replace(text.find(intro), intro.size(), "Blue Hour,O'Dara,Intro (as kept),1,");
  scan_test::WriteFile(library, text + WithMusic(R"(,,Hidden Away,,$M/Locked/04 Hidden Away.mp3,,
,,There,,$O/there.mp3,,
,,Gone,,$O/gone.mp3,,
,,Twice,,$M/O'Dara/Blue Hour/01 Intro.mp3,,
)",
                                                 music_));
  scan_test::WriteFile(dir_.path() / "Musical/there.mp3", "not read: kept as listed");
  scan_test::WriteSong(music_ / "O'Dara/Live.wav",
                       {"Live Again", "O'Dara", "", "", "Jazz", "", ""});
  fs::remove(music_ / "Ana/Songs, Vol. 2/08 Untitled.flac");
  scan_test::WriteSong(music_ / "Ana/New.mp3", {"New", "Ana", "", "", "", "", ""});
  SetModified(music_ / "O'Dara/Live.wav", 2);
  SetModified(music_ / "Ana/New.mp3", -2);

  const RunResult run = RunProgram(JUBO_SCAN, {"../Music/", "--update", library.string()}, out_);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(Library(), WithMusic(std::string(kHeader) + R"(,Ana,New,,$M/Ana/New.mp3,,
"Songs, Vol. 2",Ana,"The ""Long"" Road",7,"$M/Ana/Songs, Vol. 2/07 The Long Road.ogg",Rock,Fast
"Songs, Vol. 2",Ana; Bo,09 Duet,,"$M/Ana/Songs, Vol. 2/09 Duet.flac",Rock,Moderate
,,locked,,$M/Ana/locked.flac,,
,,03 Broken,,$M/Broken.ogg/03 Broken.ogg,,
Blue Hour,O'Dara,Intro (as kept),1,$M/O'Dara/Blue Hour/01 Intro.mp3,Jazz,Slow
Blue Hour,O'Dara,Élan,2,$M/O'Dara/Blue Hour/02 Élan.opus,jazz,Medium
Blue Hour,O'Dara,Old Rip,3,$M/O'Dara/Blue Hour/03 Old Rip.mp3,Jazz,
,O'Dara,Live Again,,$M/O'Dara/Live.wav,Jazz,
,,Hidden Away,,$M/Locked/04 Hidden Away.mp3,,
,,There,,$O/there.mp3,,
)",
                                 music_));
  EXPECT_EQ(run.err, ExpectedProblems(music_, true));
  EXPECT_NE(run.out.find("; 7 files skipped; 9 kept, 2 read, 2 gone\n"), std::string::npos)
      << run.out;
}

// No library yet; then a library without the record beside it (an older jubo-scan or another
// program wrote it); then a record cut short. Each time every file is read, and only the cut
// record is a problem.
TEST_F(JuboScanTest, UpdateWithoutAWholeRecordOfThePreviousScanReadsEverything) {
  fs::permissions(music_ / "Locked", fs::perms::owner_all);
  for (const char* bad :
       {"Locked", "Broken.ogg", "Ana/gone.mp3", "Ana/bad\xE9.mp3", "Ana/locked.flac"}) {
    fs::remove_all(music_ / bad);
  }
  WaitUntilSettled(dir_.path());  // so that a whole record would vouch for them all
  struct Case {
    std::string err;  // the one line on stderr, or how it begins
    int status;
  };
  const Case kCases[] = {
      {"jubo-scan: ./jubodb.txt does not exist yet; every file is read\n", 0},
      {"jubo-scan: ./jubodb.txt has no ./jubodb.txt.scan beside it; every file is read\n", 0},
      {"jubo-scan: ./jubodb.txt.scan: record ", 1},
  };
  const fs::path record = out_ / "jubodb.txt.scan";
  for (const Case& c : kCases) {
    if (c.status == 0) fs::remove(record);
    if (c.status == 1) fs::resize_file(record, fs::file_size(record) - 1);
    const RunResult run = RunProgram(JUBO_SCAN, {music_.string(), "--update", "."}, out_);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.out.find("; 0 kept, 7 read, 0 gone\n"), std::string::npos) << run.out;
  }
}

// Whatever goes wrong before the end, the library already there stays exactly as it was.
TEST_F(JuboScanTest, NothingIsWrittenWhenTheScanCannotFinish) {
  const std::string old_library = std::string(kHeader) + "A,B,C,1,/old.mp3,,\n";
  scan_test::WriteFile(dir_.path() / "not-a-library.txt", "Album,Title\nA,B\n");
  const std::string lib = (out_ / "jubodb.txt").string(), fifo = (out_ / "fifo.txt").string();
  // So long a name that no temporary file's name fits beside it: the write fails at its start.
  const std::string long_lib = (out_ / (std::string(245, 'x') + ".txt")).string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  struct Case {
    std::vector<std::string> args;
    bool long_named;  // the library is long_lib, not lib
    std::string err;  // how stderr begins
  };
  const Case kCases[] = {
      {{}, false, "jubo-scan: no music folder given\nusage: jubo-scan MUSICDIR..."},
      {{"--shuffle", music_.string()}, false, "jubo-scan: unknown option --shuffle\nusage:"},
      {{music_.string(), "-o"}, false, "jubo-scan: -o needs a file name\nusage:"},
      {{music_.string(), "-o", lib, "--output", lib}, false, "jubo-scan: --output given twice"},
      {{(dir_.path() / "Missing").string(), "-o", lib},
       false,
       "jubo-scan: cannot read folder " + (dir_.path() / "Missing").string() +
           ": No such file or directory\njubo-scan: no songs found; " + lib + " left as it"},
      {{music_.string(), "--update", (dir_.path() / "not-a-library.txt").string(), "-o", lib},
       false,
       "jubo-scan: " + (dir_.path() / "not-a-library.txt").string() + ": no Filename"},
      {{music_.string(), "-o", fifo, "--update", lib},
       false,
       "jubo-scan: cannot write " + fifo + ": not a regular file\n"},
      {{music_.string(), "--update", fifo, "-o", lib},
       false,
       "jubo-scan: cannot read " + fifo + ": not a regular file\n"},
      {{music_.string(), "-o", long_lib},
       true,
       ExpectedProblems(music_) + "jubo-scan: cannot write " + long_lib + ": File name too long\n"},
  };
  for (const Case& c : kCases) {
    std::string label;
    for (const std::string& a : c.args) label += a + " ";
    const std::string& library = c.long_named ? long_lib : lib;
    scan_test::WriteFile(library, old_library);
    const RunResult run = RunProgram(JUBO_SCAN, c.args, out_);
    EXPECT_EQ(run.status, 2) << label;
    EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << label << ": " << run.err;
    EXPECT_EQ(run.out, "") << label;
    EXPECT_EQ(scan_test::ReadFile(library), old_library) << label;
    EXPECT_FALSE(fs::exists(library + ".scan")) << label;
    EXPECT_TRUE(fs::is_fifo(fifo)) << label;
  }
}

// A library reached through a symbolic link, missing at first: the scan makes it where the
// link leads, and the update reads it and the record beside it there, the link staying a link.
// The update walks the music through a link of its own: every song is the same song, kept,
// under the path walked now.
TEST_F(JuboScanTest, LinksToTheLibraryAndToTheMusicLeadToTheSameFiles) {
  const fs::path library = dir_.path() / "Library/jubodb.txt", link = out_ / "link.txt";
  const fs::path music_link = dir_.path() / "Music link";
  fs::create_directories(library.parent_path());
  fs::create_symlink("../Library/jubodb.txt", link);
  fs::create_directory_symlink(music_, music_link);
  WaitUntilSettled(dir_.path());
  const std::pair<std::string, fs::path> kRuns[] = {{"-o", music_}, {"--update", music_link}};
  for (const auto& [option, music] : kRuns) {
    const RunResult run = RunProgram(JUBO_SCAN, {music.string(), option, link.string()}, out_);
    EXPECT_EQ(run.status, 1) << option << ": " << run.err;
    EXPECT_EQ(run.err, ExpectedProblems(music, option == "--update")) << option;
    EXPECT_TRUE(fs::is_symlink(link)) << option;
    EXPECT_EQ(scan_test::ReadFile(library), ExpectedLibrary(music)) << option;
    EXPECT_TRUE(fs::exists(library.string() + ".scan")) << option;
    EXPECT_FALSE(fs::exists(link.string() + ".scan")) << option;
    if (option == "--update") {
      EXPECT_NE(run.out.find("; 9 kept, 0 read, 0 gone\n"), std::string::npos) << run.out;
    }
  }
}

}  // namespace
