#include "venue/rooms_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace dsp {
namespace {

TEST(RoomsFile, AcceptedFiles) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<RoomEntry> rooms;
  } cases[] = {
      {"two rooms", "a /dev/ttyUSB0\nb tcp://box:4001\n", {{"a", "/dev/ttyUSB0", 1}, {"b", "tcp://box:4001", 2}}},
      {"comments, blank lines, tabs and a last line without its end",
       "# the venue\n\n  room-1\t rfc2217://10.0.0.5:2001   # by the bar\n\t\nKTV_2.b /dev/pts/7",
       {{"room-1", "rfc2217://10.0.0.5:2001", 3}, {"KTV_2.b", "/dev/pts/7", 5}}},
      {"CR LF line ends and a byte order mark", "\xEF\xBB\xBFr1 COM3\r\nr2 COM4\r\n",
       {{"r1", "COM3", 1}, {"r2", "COM4", 2}}},
      {"a '#' inside a port name is part of it", "r /dev/odd#name\n", {{"r", "/dev/odd#name", 1}}},
      {"UTF-8 in a comment", "# 包房\nr1 tcp://h:1\n", {{"r1", "tcp://h:1", 2}}},
      {"the same host on other ports", "a tcp://h:1\nb tcp://h:2\nc rfc2217://h:3\n",
       {{"a", "tcp://h:1", 1}, {"b", "tcp://h:2", 2}, {"c", "rfc2217://h:3", 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RoomsParse parse = ParseRooms(c.text);
    ASSERT_TRUE(parse.ok()) << parse.error;
    ASSERT_EQ(parse.rooms.size(), c.rooms.size());
    for (std::size_t i = 0; i < c.rooms.size(); ++i) {
      EXPECT_EQ(parse.rooms[i].name, c.rooms[i].name);
      EXPECT_EQ(parse.rooms[i].port, c.rooms[i].port);
      EXPECT_EQ(parse.rooms[i].line, c.rooms[i].line);
    }
  }
}

TEST(RoomsFile, RefusedFilesNameTheLine) {
  struct Case {
    const char* what;
    std::string text;
    int line;
    const char* says;
  } cases[] = {
      {"one word", "a tcp://h:1\nlonely\n", 2, "two words"},
      {"three words", "a tcp://h:1 extra\n", 1, "has 3"},
      {"a name with a blank-free but bad character", "ro/om tcp://h:1\n", 1, "not a room name"},
      {"a Chinese name", "包房 tcp://h:1\n", 1, "not a room name"},
      {"a name too long", std::string(65, 'n') + " tcp://h:1\n", 1, "not a room name"},
      {"a network port without a number", "a tcp://h\n", 1, "PORT"},
      {"a name used twice", "a tcp://h:1\n# x\na tcp://h:2\n", 3, "already named on line 1"},
      {"a port used twice", "a /dev/ttyS0\nb /dev/ttyS0\n", 2, "already used on line 1"},
      {"one accepter under two schemes", "a tcp://Box:7\nb rfc2217://box:7\n", 2, "already used on line 1"},
      {"empty", "", 0, "names no room"},
      {"only comments", "# nothing\n\n   \n", 0, "names no room"},
      {"a NUL byte", std::string("a tcp://h:1\nb COM1\0\n", 20), 2, "not a text file"},
      {"not UTF-8", "a tcp://h:1\n\xFF\xFE\n", 2, "not a text file"},
      {"a cut-off UTF-8 sequence", "# \xE5\xAE\n", 1, "not a text file"},
      {"an escape character", "a tcp://h:1\x1b[2J\n", 1, "not a text file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RoomsParse parse = ParseRooms(c.text);
    ASSERT_FALSE(parse.ok());
    EXPECT_TRUE(parse.rooms.empty());
    EXPECT_EQ(parse.errorLine, c.line);
    EXPECT_NE(parse.error.find(c.says), std::string::npos) << parse.error;
    const std::string line = RoomsErrorLine("venue.rooms", parse);
    EXPECT_EQ(line.rfind(c.line > 0 ? "venue.rooms:" + std::to_string(c.line) + ": " : "venue.rooms: ", 0), 0u)
        << line;
  }
}

TEST(RoomsFile, ReadsFilesAndRefusesWhatIsNoFile) {
  const auto dir = std::filesystem::temp_directory_path() / ("rooms_file_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  {
    std::ofstream(dir / "venue.rooms") << "r1 tcp://localhost:4001\n";
  }
  const RoomsParse read = ReadRoomsFile(dir / "venue.rooms");
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.rooms.at(0).port, "tcp://localhost:4001");

  const RoomsParse missing = ReadRoomsFile(dir / "none.rooms");
  EXPECT_EQ(missing.error, "cannot be read");
  EXPECT_EQ(missing.errorLine, 0);
  EXPECT_EQ(ReadRoomsFile(dir).error, "is a folder, not a rooms file");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace dsp
