// Rooms in the window: the chooser in the title strip links to a room's
// port after saying goodbye to the processor linked now, the title names
// the room, a preset saved then defaults to the room's name, and the rooms
// file is remembered for the next start.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

#include "linked_app.h"

namespace dsp {
namespace {

class RoomsWindow : public LinkedApp {
 protected:
  // Starts the application with a rooms file: "lobby" on the emulator's
  // port, "bar" on a port that is not there.
  void StartWithRooms(const QString& roomsFile, const QString& settings) {
    auto port = std::make_unique<EmulatedPort>(emulator, "EMU");
    port_ = port.get();
    AppOptions options{QStringList{QStringLiteral("EMU")}, presetDir.path(), settings, roomsFile};
    app = std::make_unique<Application>(std::move(port), options);
    app->LinkTimers().DriveByHand();
    app->View().SetMessageSink([this](const QString&, const QString& text) { messages << text; });
    app->Start();
    QApplication::processEvents();
  }
};

TEST_F(RoomsWindow, ChoosingARoomLinksToItsPortAndNamesIt) {
  QTemporaryDir dir;
  const QString rooms = dir.filePath(QStringLiteral("venue.rooms"));
  {
    QFile file(rooms);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# two rooms\nlobby EMU\nbar /dev/no-such-bar\n");
  }
  const QString settings = dir.filePath(QStringLiteral("settings.ini"));
  StartWithRooms(rooms, settings);
  auto* chooser = app->Window().findChild<QComboBox*>(QStringLiteral("RoomChooser"));
  ASSERT_NE(chooser, nullptr);
  ASSERT_EQ(chooser->count(), 3);
  EXPECT_EQ(chooser->itemText(1), QStringLiteral("lobby"));
  EXPECT_EQ(chooser->itemText(2), QStringLiteral("bar"));

  // Without a room chosen every port is scanned, as before.
  RunLink();
  ASSERT_EQ(app->Link().LinkState, 2);
  const int goodbyes = emulator.goodbyes;

  app->ChooseRoom(0);
  EXPECT_EQ(emulator.goodbyes, goodbyes + 1) << "goodbye to the processor linked before";
  EXPECT_EQ(app->Link().PortList(), std::vector<std::string>{"EMU"});
  RunLink();
  EXPECT_EQ(app->Link().LinkState, 2);
  EXPECT_EQ(chooser->currentIndex(), 1);
  EXPECT_TRUE(app->Window().windowTitle().endsWith(QStringLiteral("lobby"))) << app->Window().windowTitle().toStdString();
  EXPECT_EQ(app->Window().findChild<QLabel*>(QStringLiteral("TitleLabel"))->text(), app->Window().windowTitle());
  EXPECT_EQ(app->Window().findChild<QLineEdit*>(QStringLiteral("FileEdit"))->text(), QStringLiteral("lobby"));

  // Another room: only its port is tried, and it is not there.
  messages.clear();
  app->ChooseRoom(1);
  EXPECT_EQ(app->Link().PortList(), std::vector<std::string>{"/dev/no-such-bar"});
  for (int i = 0; i < 10 && app->ScanTimer().isActive(); ++i) app->Link().Timer1Timer();
  EXPECT_FALSE(app->Link().Connected());
  EXPECT_TRUE(app->Window().windowTitle().endsWith(QStringLiteral("bar")));

  // Back to every port; the title without a room.
  app->ChooseRoom(-1);
  EXPECT_FALSE(app->Window().windowTitle().contains(QStringLiteral("bar")));

  // The rooms file is remembered: the next start offers the rooms without --rooms.
  app.reset();
  StartWithRooms(QString(), settings);
  auto* again = app->Window().findChild<QComboBox*>(QStringLiteral("RoomChooser"));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->count(), 3);
}

TEST_F(RoomsWindow, ARefusedRoomsFileLeavesThePortsAsTheyAre) {
  QTemporaryDir dir;
  const QString rooms = dir.filePath(QStringLiteral("bad.rooms"));
  {
    QFile file(rooms);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("lobby EMU\nlobby EMU2\n");
  }
  StartWithRooms(rooms, dir.filePath(QStringLiteral("settings.ini")));
  EXPECT_EQ(app->Window().findChild<QComboBox*>(QStringLiteral("RoomChooser")), nullptr);
  EXPECT_TRUE(app->RoomsProblem().endsWith(QStringLiteral(":2: room lobby is already named on line 1")))
      << app->RoomsProblem().toStdString();
  RunLink();
  EXPECT_EQ(app->Link().LinkState, 2);
}

}  // namespace
}  // namespace dsp
