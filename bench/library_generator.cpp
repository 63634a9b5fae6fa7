#include "bench/library_generator.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_set>
#include <utility>
#include <vector>

namespace bench {
namespace {

// SplitMix64. The same numbers on every platform and standard library, so a seed names one
// library everywhere (the std distributions do not promise that).
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n); n > 0.
  size_t Below(size_t n) {
    return static_cast<size_t>((static_cast<unsigned __int128>(Next()) * n) >> 64);
  }
  int Between(int lo, int hi) {
    return lo + static_cast<int>(Below(static_cast<size_t>(hi - lo + 1)));
  }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  bool Chance(double p) { return Unit() < p; }
  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }
  // Index of a weighted choice.
  template <size_t N>
  int Choose(const int (&weights)[N]) {
    int total = 0;
    for (int w : weights) total += w;
    int roll = static_cast<int>(Below(static_cast<size_t>(total)));
    for (size_t i = 0; i < N; ++i) {
      if (roll < weights[i]) return static_cast<int>(i);
      roll -= weights[i];
    }
    return static_cast<int>(N) - 1;
  }

 private:
  uint64_t state_;
};

constexpr const char* kFirstNames[] = {
    "Maya",   "Leo",    "Nina",    "Omar",    "Clara",   "Felix",   "Ines",   "Jonas",   "Ruth",
    "Tariq",  "Elena",  "Marcus",  "Yara",    "Hugo",    "Sofia",   "Dmitri", "Ada",     "Kenji",
    "Lena",   "Rafael", "Amara",   "Theo",    "Ingrid",  "Pablo",   "Chloe",  "Idris",   "Freya",
    "Mateo",  "Hana",   "Bruno",   "Esther",  "Kofi",    "Lucia",   "Anders", "Mira",    "Samuel",
    "Zoë",    "José",   "Renée",   "Søren",   "Zoltán",  "Björn",   "Agnès",  "Chloé",   "Łukasz",
    "Andrés", "Noémie", "Dagný",   "Nikolaj", "Ibrahim", "Aoife",   "Niamh",  "Declan",  "Bea",
    "Billie", "Bonnie", "Boris",   "Benny",   "Barbara", "Bastian", "Calvin", "Dolores", "Etta",
    "Frank",  "Gil",    "Harriet", "Ivy",     "Jack",    "Kat",     "Louis",  "Mavis",   "Ned",
    "Otis",   "Patsy",  "Quincy",  "Roy",     "Sade",    "Tom",     "Una",    "Vera",    "Walt",
    "Xavier", "Yusuf",  "Zelda",   "Émile",   "Åsa",     "Ørjan",   "Ümit",
};

constexpr const char* kSurnames[] = {
    "Olsen",     "Ölsen",     "Ångström", "Dubois", "Moreau",  "Haddad",   "Okafor",
    "Nakamura",  "Kowalski",  "Novak",    "Rossi",  "Bianchi", "García",   "Núñez",
    "Müller",    "Schäfer",   "Brennan",  "Walsh",  "O'Dara",  "O'Neill",  "O'Brien",
    "D'Angelo",  "McCoy",     "MacLeod",  "Baker",  "Bell",    "Black",    "Brooks",
    "Brown",     "Burns",     "Byrne",    "Carter", "Cole",    "Day",      "Dixon",
    "Ellis",     "Fisher",    "Ford",     "Fox",    "Grant",   "Gray",     "Hale",
    "Hayes",     "Hill",      "Holt",     "Hughes", "Hunt",    "James",    "Jordan",
    "Keane",     "King",      "Lane",     "Lee",    "Lowe",    "Marsh",    "Mills",
    "Moss",      "Nash",      "Owens",    "Page",   "Parks",   "Price",    "Quinn",
    "Reed",      "Rhodes",    "Rivers",   "Rowe",   "Sharp",   "Shaw",     "Stone",
    "Stroud",    "Summers",   "Swift",    "Tate",   "Vance",   "Wade",     "Ward",
    "Webb",      "Wells",     "West",     "Wilde",  "Wolfe",   "Young",    "Zhang",
    "Lindqvist", "Håkansson", "Pérez",    "Dvořák", "Jiménez", "Fontaine", "Lefèvre",
    "Bergström", "Sørensen",  "Ramírez",  "Ibáñez", "Chávez",  "Costa",    "Ferreira",
    "Gonçalves", "Horváth",   "Ivanova",  "Petrov", "Sato",    "Tanaka",   "Kim",
    "Park",      "Nguyen",    "Singh",    "Patel",  "Mensah",  "Diallo",   "Élan",
};

constexpr const char* kAdjectives[] = {
    "Blue",     "Black",    "Golden",  "Silver",   "Broken",  "Electric", "Quiet",   "Wild",
    "Velvet",   "Crystal",  "Hollow",  "Burning",  "Frozen",  "Midnight", "Neon",    "Paper",
    "Iron",     "Silent",   "Distant", "Lonely",   "Bright",  "Dark",     "Crimson", "Scarlet",
    "Amber",    "Emerald",  "Faded",   "Hidden",   "Lost",    "Sacred",   "Secret",  "Strange",
    "Sweet",    "Bitter",   "Tender",  "Restless", "Endless", "Ancient",  "Modern",  "Northern",
    "Southern", "Eastern",  "Western", "Little",   "Big",     "Tiny",     "Giant",   "Sleepy",
    "Lazy",     "Crazy",    "Happy",   "Gentle",   "Savage",  "Cosmic",   "Lunar",   "Solar",
    "Atomic",   "Magnetic", "Analog",  "Digital",  "Plastic", "Rubber",   "Wooden",  "Glass",
    "Copper",   "Rusty",    "Dusty",   "Muddy",    "Misty",   "Rainy",    "Sunny",   "Stormy",
    "Windy",    "Cold",     "Warm",    "Young",    "Old",     "New",      "Last",    "First",
    "Final",    "Lucky",    "Wicked",  "Holy",     "Royal",   "Humble",   "Proud",   "Naked",
    "Hungry",   "Dizzy",    "Lucid",   "Vivid",    "Pale",    "Bold",     "Brave",   "Fragile",
    "Heavy",    "Slow",     "Deep",    "High",     "Open",    "Empty",    "Soft",    "Loud",
    "Kind",     "Cruel",    "Free",    "Naïve",    "Über",    "Blasé",    "Bleak",   "Brittle",
};

constexpr const char* kNouns[] = {
    "River",       "Heart",    "Road",       "Sky",       "Fire",       "Rain",    "Moon",
    "Star",        "Sun",      "Ocean",      "Mountain",  "Garden",     "City",    "Night",
    "Morning",     "Dream",    "Shadow",     "Mirror",    "Window",     "Door",    "Train",
    "Highway",     "Bridge",   "Tower",      "Castle",    "House",      "Room",    "Island",
    "Desert",      "Forest",   "Valley",     "Harbor",    "Lighthouse", "Engine",  "Machine",
    "Radio",       "Signal",   "Echo",       "Wave",      "Storm",      "Thunder", "Winter",
    "Summer",      "Autumn",   "Diamond",    "Pearl",     "Rose",       "Lily",    "Orchid",
    "Tiger",       "Wolf",     "Raven",      "Sparrow",   "Falcon",     "Horse",   "Fox",
    "Bear",        "Lion",     "Snake",      "Butterfly", "Bee",        "Honey",   "Sugar",
    "Whiskey",     "Wine",     "Coffee",     "Café",      "Candle",     "Lantern", "Flame",
    "Ember",       "Ash",      "Dust",       "Smoke",     "Salt",       "Bone",    "Ghost",
    "Angel",       "Devil",    "Saint",      "Sinner",    "King",       "Queen",   "Prince",
    "Soldier",     "Sailor",   "Gambler",    "Stranger",  "Lover",      "Friend",  "Mother",
    "Brother",     "Sister",   "Child",      "Baby",      "Girl",       "Boy",     "Heaven",
    "Paradise",    "Kingdom",  "Empire",     "Parade",    "Carnival",   "Circus",  "Ballroom",
    "Disco",       "Jukebox",  "Guitar",     "Piano",     "Drum",       "Trumpet", "Violin",
    "Song",        "Melody",   "Harmony",    "Rhythm",    "Ballad",     "Lullaby", "Anthem",
    "Letter",      "Postcard", "Photograph", "Memory",    "Promise",    "Story",   "Silence",
    "Noise",       "Static",   "Élan",       "Façade",    "Piñata",     "Fiancée", "Señorita",
    "Smörgåsbord", "Bistro",   "Boulevard",  "Balcony",   "Bayou",      "Blossom", "Bandit",
};

// How a "doing something to the ..." title begins.
constexpr const char* kVerbs[] = {
    "Chasing the",     "Dancing with the", "Falling for the", "Waiting for the", "Running from the",
    "Dreaming of the", "Driving the",      "Crossing the",    "Leaving the",     "Finding the",
    "Losing the",      "Holding the",      "Breaking the",    "Calling the",     "Singing to the",
    "Walking the",     "Flying over the",  "Sleeping by the", "Building the",    "Saving the",
    "Counting the",    "Watching the",     "Kissing the",     "Missing the",     "Riding the",
    "Praying for the", "Burning the",      "Drowning in the",
};

// Contractions and dropped letters, the usual source of quotes in titles.
constexpr const char* kOpenings[] = {
    "Don't Wake the", "I'm Still the",   "Can't Stop the", "Won't Forget the", "Ain't No",
    "She's the",      "We're the",       "It's the",       "Let's Find the",   "Rock 'n' Roll",
    "Goin' Down the", "Nothin' but the", "Baby's",         "Mama's",           "Lovin' the",
};

constexpr const char* kNumbers[] = {"2",  "3",  "4",  "5",  "7",   "9",   "10",   "12",
                                    "21", "40", "50", "99", "101", "808", "1000", "13th"};
constexpr const char* kYears[] = {"1969", "1977", "1984", "1999", "2001",
                                  "2012", "1955", "1989", "1972", "2020"};

constexpr const char* kSharedAlbumTitles[] = {
    "Greatest Hits", "Live",     "The Best Of", "Unplugged", "Christmas",
    "Demos",         "Untitled", "B-Sides",     "Anthology", "Live at the Roxy",
};

constexpr const char* kAlbumSuffixes[] = {" [Live]",   " (Remastered)", " (Deluxe Edition)",
                                          " [Disc 2]", " (Live, 1999)", " [Bonus Tracks]"};
constexpr const char* kSongSuffixes[] = {" (Live)",           " (Remix)",      " (Acoustic)",
                                         " [Demo]",           " (Radio Edit)", " (Reprise)",
                                         " - Remastered 2011"};

struct Weighted {
  const char* name;
  int weight;
};

constexpr Weighted kGenres[] = {
    {"Rock", 18},
    {"Pop", 14},
    {"Jazz", 8},
    {"Electronic", 8},
    {"Hip-Hop", 7},
    {"Blues", 5},
    {"Classical", 5},
    {"Country", 5},
    {"Folk", 4},
    {"R&B", 4},
    {"Soul", 4},
    {"Metal", 4},
    {"Punk", 3},
    {"Reggae", 3},
    {"Latin", 3},
    {"Soundtrack", 3},
    {"World", 2},
    {"Ambient", 2},
    {"Singer/Songwriter", 2},
    {"Children's", 1},
};

constexpr Weighted kTempos[] = {
    {"Medium", 32}, {"Moderate", 16}, {"Slow", 20}, {"Fast", 22}, {"Very Fast", 6},
};

constexpr const char* kExtensions[] = {".ogg", ".mp3", ".mp3", ".flac", ".ogg", ".mp3"};

template <size_t N>
int ChooseWeighted(Rng& rng, const Weighted (&items)[N]) {
  int weights[N];
  for (size_t i = 0; i < N; ++i) weights[i] = items[i].weight;
  return rng.Choose(weights);
}

std::string Plural(std::string_view noun) {
  std::string s(noun);
  if (s == "Child") return "Children";
  auto ends = [&](std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
  };
  if (ends("y") && s.size() > 1 && std::strchr("aeiou", s[s.size() - 2]) == nullptr) {
    return s.substr(0, s.size() - 1) + "ies";
  }
  if (ends("s") || ends("x") || ends("sh") || ends("ch")) return s + "es";
  return s + "s";
}

// Lower-cases ASCII letters only, as a typist leaving Shift alone would.
std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string Noun(Rng& rng) { return rng.Pick(kNouns); }
std::string Adjective(Rng& rng) { return rng.Pick(kAdjectives); }

std::string ArtistName(Rng& rng) {
  static constexpr int kForms[] = {300, 140, 80, 80, 60, 50, 50, 40, 20, 30, 20, 15, 15};
  std::string name;
  switch (rng.Choose(kForms)) {
    case 0:
      name = std::string(rng.Pick(kFirstNames)) + " " + rng.Pick(kSurnames);
      break;
    case 1:
      name = "The " + Adjective(rng) + " " + Plural(Noun(rng));
      break;
    case 2:
      name = "The " + Plural(Noun(rng));
      break;
    case 3:
      name = Adjective(rng) + " " + Noun(rng);
      break;
    case 4: {
      static constexpr const char* kGroups[] = {" Band", " Trio", " Quartet", " Orchestra",
                                                " & the " /* followed by a plural noun */};
      const char* group = rng.Pick(kGroups);
      name = std::string(rng.Pick(kFirstNames)) + " " + rng.Pick(kSurnames) + group;
      if (std::string_view(group) == " & the ") name += Plural(Noun(rng));
      break;
    }
    case 5:
      name = rng.Pick(kSurnames);
      break;
    case 6:
      name = Noun(rng) + " " + Noun(rng);
      break;
    case 7: {
      static constexpr const char* kPrefixes[] = {"DJ ",     "MC ",      "Lil ", "Big ",
                                                  "Sister ", "Brother ", "Dr. ", "Mr. "};
      name = std::string(rng.Pick(kPrefixes)) + (rng.Chance(0.5) ? Noun(rng) : rng.Pick(kSurnames));
      break;
    }
    case 8:  // as classical and old catalogues file people
      name = std::string(rng.Pick(kSurnames)) + ", " + rng.Pick(kFirstNames);
      break;
    case 9:
      name = std::string(rng.Pick(kNumbers)) + " " + Plural(Noun(rng));
      break;
    case 10:
      name = std::string("O'") + Noun(rng);
      break;
    case 11: {
      static constexpr const char* kOpeners[] = {"'Til ", "¡", "(", "[", "...", "!"};
      const char* opener = rng.Pick(kOpeners);
      name = opener + Adjective(rng) + " " + Noun(rng);
      if (std::string_view(opener) == "¡") name += "!";
      if (std::string_view(opener) == "(") name += ")";
      if (std::string_view(opener) == "[") name += "]";
      break;
    }
    default:
      name = "of " + Plural(Noun(rng));
      break;
  }
  if (rng.Chance(0.03)) name = Lower(name);
  if (rng.Chance(0.01)) {
    size_t o = name.find('o');
    if (o != std::string::npos) name.replace(o, 1, "ö");  // the heavy-metal umlaut
  }
  return name;
}

// Forms shared by album and song titles; each caller weighs them its own way.
enum TitleForm {
  kAdjNoun,
  kNounOfNoun,
  kTheAdjNoun,
  kNoun,
  kVerbTheNoun,
  kAdjNouns,
  kNounAndNoun,
  kOpening,
  kNumberFirst,
  kCommaList,
  kPossessive,
  kDoubleQuoted,
  kBracketFirst,
  kYesComma,
  kTitleFormCount
};

std::string Title(Rng& rng, TitleForm form) {
  switch (form) {
    case kAdjNoun:
      return Adjective(rng) + " " + Noun(rng);
    case kNounOfNoun:
      return Noun(rng) + (rng.Chance(0.5) ? " of the " : " of ") + Noun(rng);
    case kTheAdjNoun:
      return "The " + Adjective(rng) + " " + Noun(rng);
    case kNoun:
      return Noun(rng);
    case kVerbTheNoun:
      return std::string(rng.Pick(kVerbs)) + " " + Noun(rng);
    case kAdjNouns:
      return Adjective(rng) + " " + Plural(Noun(rng));
    case kNounAndNoun:
      return Noun(rng) + " & " + Noun(rng);
    case kOpening:
      return std::string(rng.Pick(kOpenings)) + " " + Noun(rng);
    case kNumberFirst:
      if (rng.Chance(0.3)) return rng.Pick(kYears);
      return std::string(rng.Pick(kNumbers)) + " " + Plural(Noun(rng));
    case kCommaList:
      return Noun(rng) + ", " + Noun(rng) + " and " + Noun(rng);
    case kPossessive:
      return std::string(rng.Pick(kSurnames)) + "'s " + Noun(rng);
    case kDoubleQuoted:
      return "The \"" + Adjective(rng) + "\" Sessions";
    case kBracketFirst:
      return "(" + std::string(rng.Pick(kVerbs)) + " " + Noun(rng) + ") " + Adjective(rng) + " " +
             Noun(rng);
    case kYesComma:
    default:
      return rng.Chance(0.5) ? "'Round " + Noun(rng) : "Yes, " + Adjective(rng) + " " + Noun(rng);
  }
}

std::string AlbumTitle(Rng& rng) {
  static constexpr int kForms[kTitleFormCount] = {220, 120, 100, 100, 80, 60, 60,
                                                  50,  50,  40,  30,  20, 20, 20};
  std::string title = Title(rng, static_cast<TitleForm>(rng.Choose(kForms)));
  if (rng.Chance(0.02)) title = Lower(title);
  if (rng.Chance(0.10)) title += rng.Pick(kAlbumSuffixes);
  return title;
}

std::string SongTitle(Rng& rng) {
  static constexpr int kForms[kTitleFormCount] = {150, 80, 60, 120, 120, 50, 40,
                                                  150, 40, 40, 30,  15,  20, 40};
  std::string title = Title(rng, static_cast<TitleForm>(rng.Choose(kForms)));
  if (rng.Chance(0.03)) title = Lower(title);
  if (rng.Chance(0.06)) title += rng.Pick(kSongSuffixes);
  return title;
}

// A path component as a tagger on Windows writes it: characters its file systems refuse
// become '_', and no trailing dot or blank.
std::string PathPart(std::string_view name) {
  std::string part(name);
  for (char& c : part) {
    if (std::strchr("/\\:*?\"<>|", c) != nullptr) c = '_';
  }
  while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
  return part.empty() ? "_" : part;
}

enum class TrackStyle { kPadded, kPlain, kOfTotal, kPaddedOfTotal, kMissing };

std::string TrackText(TrackStyle style, int number, int total) {
  char text[32];
  switch (style) {
    case TrackStyle::kPadded:
      std::snprintf(text, sizeof text, "%02d", number);
      break;
    case TrackStyle::kPlain:
      std::snprintf(text, sizeof text, "%d", number);
      break;
    case TrackStyle::kOfTotal:
      std::snprintf(text, sizeof text, "%d/%d", number, total);
      break;
    case TrackStyle::kPaddedOfTotal:
      std::snprintf(text, sizeof text, "%02d/%02d", number, total);
      break;
    case TrackStyle::kMissing:
      text[0] = '\0';
      break;
  }
  return text;
}

struct Artist {
  std::string name;
  int genre;  // index into kGenres: what most of the artist's albums are filed under
};

struct AlbumPlan {
  std::string title;
  std::string folder;  // "/music/<artist or Compilations>/<title>/"
  int artist = -1;     // index into the artists; -1 for a compilation
  int songs = 0;
  int genre = -1;            // index into kGenres; -1 when the album has no genre
  bool genre_lower = false;  // typed as "rock" rather than "Rock"
  TrackStyle track_style = TrackStyle::kPadded;
  const char* extension = ".ogg";
  bool file_order = false;  // rows in the disk's order rather than track order
  uint64_t seed = 0;        // the album's songs are drawn from this
};

int AlbumSize(Rng& rng) {
  static constexpr int kKinds[] = {70, 12, 10, 8};
  switch (rng.Choose(kKinds)) {
    case 0:
      return rng.Between(9, 15);
    case 1:
      return rng.Between(4, 7);  // an EP
    case 2:
      return rng.Between(16, 22);
    default:
      return rng.Between(10, 14);
  }
}

TrackStyle ChooseTrackStyle(Rng& rng) {
  static constexpr int kStyles[] = {45, 35, 15, 3, 2};
  return static_cast<TrackStyle>(rng.Choose(kStyles));
}

// Buffers output and writes it in large pieces; remembers the first failure.
class FileWriter {
 public:
  explicit FileWriter(FILE* file) : file_(file) { buffer_.reserve(kChunk + 4096); }
  void Append(std::string_view s) {
    buffer_.append(s);
    if (buffer_.size() >= kChunk) Flush();
  }
  void Push(char c) { buffer_.push_back(c); }
  void Field(std::string_view value) {
    bool quote = value.find_first_of(",\"\r\n") != std::string_view::npos ||
                 (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!quote) {
      buffer_.append(value);
      return;
    }
    buffer_.push_back('"');
    for (char c : value) {
      if (c == '"') buffer_.push_back('"');
      buffer_.push_back(c);
    }
    buffer_.push_back('"');
  }
  bool Flush() {
    if (!failed_ && !buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
      failed_ = true;
      error_ = errno;
    }
    buffer_.clear();
    return !failed_;
  }
  int error() const { return error_; }

 private:
  static constexpr size_t kChunk = 1 << 20;
  FILE* file_;
  std::string buffer_;
  bool failed_ = false;
  int error_ = 0;
};

// Draws the library's artists and albums, then writes every album's songs.
void Generate(int64_t songs, uint64_t seed, FileWriter& out) {
  Rng rng(seed);
  const auto artist_count =
      static_cast<size_t>(std::max<int64_t>(1, std::llround(static_cast<double>(songs) / 33.0)));

  std::vector<Artist> artists;
  artists.reserve(artist_count);
  std::unordered_set<std::string> artist_names;
  while (artists.size() < artist_count) {
    std::string name = ArtistName(rng);
    // The name space is large but finite: a rare late collision gets a number, as bands do.
    for (int attempt = 0; artist_names.count(name) != 0; ++attempt) {
      name = attempt < 20 ? ArtistName(rng) : name + " " + std::to_string(attempt);
    }
    artist_names.insert(name);
    artists.push_back({std::move(name), ChooseWeighted(rng, kGenres)});
  }

  std::vector<AlbumPlan> albums;
  std::unordered_set<std::string> titles;   // every album title so far
  std::unordered_set<std::string> folders;  // album folders must differ, or files would
  int64_t placed = 0;
  while (placed < songs) {
    AlbumPlan album;
    album.songs = static_cast<int>(std::min<int64_t>(AlbumSize(rng), songs - placed));
    if (albums.size() < artist_count) {
      album.artist = static_cast<int>(albums.size());  // every artist has an album
    } else if (!rng.Chance(0.03)) {
      // Mildly skewed: a few artists have a couple of dozen albums, most have two or three.
      album.artist =
          static_cast<int>(static_cast<double>(artist_count) * std::pow(rng.Unit(), 1.3));
    }
    const std::string artist_folder =
        album.artist < 0 ? "Compilations" : PathPart(artists[album.artist].name);
    for (int attempt = 0;; ++attempt) {
      if (album.artist >= 0 && rng.Chance(0.02)) {
        album.title = rng.Pick(kSharedAlbumTitles);
      } else if (album.artist >= 0 && rng.Chance(0.02)) {
        album.title = artists[album.artist].name;  // self-titled
      } else {
        album.title = AlbumTitle(rng);
        // Titles mostly differ between artists too; a few repeats are realistic.
        if (attempt < 3 && titles.count(album.title) != 0) continue;
      }
      if (attempt > 50) album.title += " " + std::to_string(attempt);
      album.folder = "/music/" + artist_folder + "/" + PathPart(album.title) + "/";
      if (folders.insert(album.folder).second) break;
    }
    titles.insert(album.title);
    if (!rng.Chance(0.025)) {
      album.genre = album.artist >= 0 && rng.Chance(0.8) ? artists[album.artist].genre
                                                         : ChooseWeighted(rng, kGenres);
      album.genre_lower = rng.Chance(0.01);
    }
    album.track_style = ChooseTrackStyle(rng);
    album.extension = rng.Pick(kExtensions);
    album.file_order = rng.Chance(0.1);
    album.seed = rng.Next();
    placed += album.songs;
    albums.push_back(std::move(album));
  }
  for (size_t i = albums.size(); i > 1; --i) std::swap(albums[i - 1], albums[rng.Below(i)]);

  out.Append("Album,Artist,Title,Track,Filename,Genre,Tempo\r\n");
  std::vector<int> order;
  for (const AlbumPlan& album : albums) {
    Rng songs_rng(album.seed);
    order.resize(static_cast<size_t>(album.songs));
    for (int i = 0; i < album.songs; ++i) order[static_cast<size_t>(i)] = i + 1;
    if (album.file_order) {
      for (size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[songs_rng.Below(i)]);
    }
    for (int number : order) {
      // Each song's draws come from its own number, so the row order cannot change them.
      Rng song(album.seed ^ (0x9E3779B97F4A7C15ull * static_cast<uint64_t>(number)));
      std::string title = SongTitle(song);
      if (song.Chance(0.03)) title += " (feat. " + artists[song.Below(artists.size())].name + ")";
      const std::string& artist =
          album.artist >= 0 ? artists[album.artist].name : artists[song.Below(artists.size())].name;

      std::string genre;
      if (album.genre >= 0 && !song.Chance(0.006)) {
        int g = song.Chance(0.04) ? ChooseWeighted(song, kGenres) : album.genre;
        genre = album.genre_lower ? Lower(kGenres[g].name) : kGenres[g].name;
      }
      std::string tempo = song.Chance(0.035) ? "" : kTempos[ChooseWeighted(song, kTempos)].name;

      char prefix[16];
      std::snprintf(prefix, sizeof prefix, "%02d ", number);
      std::string filename = album.folder + prefix;
      if (album.artist < 0) filename += PathPart(artist) + " - ";
      filename += PathPart(title) + album.extension;

      out.Field(album.title);
      out.Push(',');
      out.Field(artist);
      out.Push(',');
      out.Field(title);
      out.Push(',');
      out.Field(TrackText(album.track_style, number, album.songs));
      out.Push(',');
      out.Field(filename);
      out.Push(',');
      out.Field(genre);
      out.Push(',');
      out.Field(tempo);
      out.Append("\r\n");
    }
  }
}

}  // namespace

std::string WriteLibrary(const std::string& folder, int64_t songs, uint64_t seed) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += "jubodb.txt";
  const std::string partial = path + ".partial";
  FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) return "cannot create " + partial + ": " + std::strerror(errno);
  FileWriter out(file);
  Generate(songs, seed, out);
  bool written = out.Flush();
  int error = out.error();
  if (std::fclose(file) != 0 && written) {
    written = false;
    error = errno;
  }
  if (!written) {
    std::remove(partial.c_str());
    return "cannot write " + partial + ": " + std::strerror(error);
  }
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    std::string message = "cannot rename " + partial + " to " + path + ": " + std::strerror(errno);
    std::remove(partial.c_str());
    return message;
  }
  return "";
}

std::optional<int64_t> ParseCount(std::string_view text) {
  int64_t multiplier = 1;
  if (!text.empty() && (text.back() == 'k' || text.back() == 'K')) {
    multiplier = 1000;
    text.remove_suffix(1);
  } else if (!text.empty() && text.back() == 'M') {
    multiplier = 1000000;
    text.remove_suffix(1);
  }
  if (text.empty() || text.size() > 12) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  value *= multiplier;
  if (value < 1 || value > 1000000000000) return std::nullopt;
  return value;
}

}  // namespace bench
