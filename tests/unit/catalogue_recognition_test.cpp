#include <gtest/gtest.h>

#include <string>

#include "fake_env.h"
#include "profiles/catalogue.h"
#include "profiles/handlers.h"
#include "desktop/window_queries.h"

namespace {

constexpr const char* kWebRadio = "<web radio>";  // stands for row 12's text
constexpr const char* kTitle = "Main window";
constexpr const char* kClass = "AppClass";

struct Program {
    int row;
    const char* exe;
    const char* title = kTitle;
    const char* className = kClass;
};

// One program per recognition rule of each row (every alternative of a disjunction),
// written from the catalogue's table, not from the code.
const Program kPrograms[] = {
    {1, "host.exe", "Game ORBISCOPE#03"},
    {2, "ctplay2.exe"},
    {3, "dvdplay.exe"},
    {4, "la.exe"},
    {5, "K!TV.exe"},
    {6, "touchtone.exe"},
    {7, "easyworship.exe"},
    {8, "Picasa.exe"},
    {9, "msmsgs.exe"},
    {10, "ktvplayer.exe"},
    {11, "recorder.exe"},
    {12, "firefox.exe", kWebRadio},
    {13, "iexplore.exe", "Live365 - Player Window - Jazz"},
    {14, "mv2playerplus.exe"},
    {15, "gotallmedia.exe"},
    {16, "aolmn.exe"},
    {17, "javaw.exe", "SoftSqueeze 2.0"},
    {18, "EZ Music Player v3.exe"},
    {19, "firefox.exe"},
    {20, "client01.exe"},
    {21, "amp.exe"},
    {22, "gbpvr.exe"},
    {23, "ultradvd.exe"},
    {24, "PCDJRed2.exe"},
    {25, "launcher.exe"},
    {26, "Roxio DVDMax Player.exe"},
    {27, "ssbeyondmedia.exe"},
    {28, "meedio.exe"},
    {29, "clickviewtv.exe"},
    {30, "anything.exe", "StudioMaster Deluxe"},
    {30, "studio.exe", "My Slide Show"},
    {30, "flash.exe", "Macromedia Flash Player 7"},
    {31, "vcdplay.exe"},
    {31, "driveplay.exe"},
    {31, "dvrplay.exe"},
    {31, "Remote DVR Viewer.exe"},
    {32, "Dell Media Experience.exe"},
    {32, "pcm2.exe"},
    {32, "pcmservice.exe"},
    {33, "mediaportal.exe"},
    {34, "mediacar.exe"},
    {35, "christv.exe"},
    {36, "vidlizard.exe"},
    {37, "magicdvd.exe"},
    {38, "neromix.exe"},
    {39, "progdvb.exe"},
    {40, "onairhdeditor.exe"},
    {41, "gottv.exe"},
    {42, "mytheatre.exe"},
    {43, "showtime.exe"},
    {44, "apejukebox.exe"},
    {45, "cineplayer.exe"},
    {46, "fxsaver.scr"},
    {46, "fxsaver.exe"},
    {47, "sonique2.exe"},
    {48, "photoshopalbum.exe"},
    {49, "vuplayer.exe"},
    {50, "Home Theater.exe"},
    {51, "tvseries.exe"},
    {51, "avertv.exe"},
    {52, "4AMMusicConsole.exe"},
    {53, "i_view32.exe"},
    {54, "pcm3.exe"},
    {55, "digitv.exe"},
    {56, "muzikbrowzer.exe"},
    {57, "fmv5.exe"},
    {58, "amplayer.exe"},
    {59, "yeahplayer.exe"},
    {60, "mediasonde.exe"},
    {61, "extrememp3.exe"},
    {62, "sthsdvd.exe"},
    {63, "ddbplay.exe"},
    {64, "coolcd.exe"},
    {65, "audioplus.locked"},
    {66, "pictureslideshow.exe"},
    {67, "omgjbox.exe"},
    {68, "tvtool.exe"},
    {69, "dvb-tv.exe"},
    {70, "totalrecorder.exe"},
    {71, "dvdreceiver.exe"},
    {72, "dvdplayer.exe"},
    {73, "otstt.exe"},
    {74, "nicemc.exe"},
    {75, "hotwire.exe"},
    {76, "blazedvd.exe"},
    {77, "gdivx player.exe"},
    {78, "winamp.exe", "Winamp Player Window"},
    {78, "other.exe", "Playlist Editor"},
    {78, "other.exe", "Media Library"},
    {79, "mplayerc.exe"},
    {80, "vlc.exe"},
    {81, "coreplayer.exe"},
    {82, "playcdgpe.exe"},
    {83, "cdmax.exe"},
    {84, "cinematograph.exe"},
    {85, "axcdplay.exe"},
    {86, "virtuosa.exe"},
    {87, "radlight.exe"},
    {88, "sagetv.exe"},
    {88, "sagetvstudio.exe"},
    {88, "SageTVClient.exe"},
    {88, "sagetvlite.exe"},
    {89, "qcdplayer.exe"},
    {90, "ampplus.exe"},
    {91, "mediamonkey.exe"},
    {92, "wftv.exe"},
    {93, "vision.exe"},
    {94, "ctcms.exe"},
    {94, "ctdvda.exe"},
    {94, "ctasr.exe"},
    {95, "radio.exe"},
    {96, "atomixmp3.exe"},
    {97, "acdsee6.exe"},
    {98, "beo.exe", kTitle, "TBeoLinkApplication"},
    {99, "coolplayer.exe"},
    {100, "crystal.exe"},
    {101, "dojo.exe"},
    {102, "foobar2000.exe"},
    {103, "thumbs.exe"},
    {104, "vmidi.exe"},
    {105, "iplayer.exe"},
    {106, "DIRECT~1.EXE"},
    {106, "directdvdx.exe"},
    {107, "jetaudio.exe"},
    {108, "rhapsody.exe"},
    {109, "tv.exe", "AVerMedia Center"},
    {110, "pcmc.exe"},
    {111, "ehshell.exe"},
    {112, "imeshclient.exe"},
    {113, "kazaa.exe"},
    {113, "kazaa.kpp"},
    {114, "dscaler.exe"},
    {115, "bplay.exe"},
    {115, "bsplay.exe"},
    {115, "bsplayer.exe"},
    {116, "Napster.exe"},
    {117, "nvdvd.exe"},
    {117, "nstantmedia.exe"},
    {118, "zplayer.exe"},
    {119, "partymode.exe"},
    {120, "opera.exe"},
    {121, "myhtpc.exe"},
    {122, "atimmc.exe"},
    {123, "cdvdplay.exe"},
    {124, "f32main.exe"},
    {125, "iTunes.exe"},
    {125, "notepad.exe"},
    {126, "mplayer.exe"},
    {127, "mplayer2.exe"},
    {128, "mmjb.exe"},
    {129, "ctdvdply.exe"},
    {130, "powerdvd.exe"},
    {131, "pvcr.exe"},
    {132, "pressplay.exe", kTitle, "PressplayClientClass"},
    {133, "proshow.exe"},
    {134, "TheaterTek DVD.exe"},
    {135, "DivXPlayer.exe"},
    {136, "ShowShifter.exe"},
    {137, "windvd.exe"},
    {138, "windvr.exe"},
    {139, "powerpnt.exe"},
    {139, "ppview32.exe"},
    {140, "rundll32.exe", "photo.jpg - Windows Picture and Fax Viewer"},
    {141, "movieplayer.exe"},
    {142, "QuickTimePlayer.exe"},
    {142, "quicktimeplayer"},
    {143, "station.exe"},
    {144, "realjbox.exe"},
    {145, "realplay.exe"},
    {146, "sfsiren.exe"},
    {147, "sonique.exe"},
    {148, "winamp.exe"},
    {148, "studio.exe"},
    {148, "winamp3.exe"},
    {149, "freeamp.exe"},
    {149, "zinf.exe"},
    {150, "wmplayer.exe"},
    {151, "wintv32.exe"},
    {152, "wintv2k.exe"},
    {153, "Media Jukebox.exe"},
    {154, "xingdvd.exe"},
    {155, "swiftultra.exe"},
};

std::string TitleOf(const char* title) {
    if (std::string(title) == kWebRadio) return std::string("Listen - ") + kWebRadioTitleText;
    return title;
}

TEST(CatalogueRecognition, WebRadioTextIsSupplied) {
    ASSERT_NE(kWebRadioTitleText, nullptr);
    EXPECT_NE(kWebRadioTitleText[0], '\0');
}

TEST(CatalogueRecognition, EveryRowRecognisesItsProgramFirstInEveryWalk) {
    bool seen[kCatalogueRows + 1] = {};
    for (const Program& p : kPrograms) {
        FakeEnv env;
        const WindowHandle w = env.Foreground(p.exe, TitleOf(p.title), p.className);
        SCOPED_TRACE("row " + std::to_string(p.row) + ": " + p.exe + " / " + TitleOf(p.title));
        seen[p.row] = true;
        EXPECT_EQ(ForegroundCatalogueRow(), p.row);
        EXPECT_TRUE(CatalogueRow(p.row).matchesForeground());
        EXPECT_TRUE(ForegroundIsSupported());
        EXPECT_EQ(WindowSearchMatch(w), p.row);
        EXPECT_TRUE(CatalogueRow(p.row).matchesWindow(w));
        // Behind an unsupported program, the automatic switch finds it.
        env.Foreground("unknown.exe", "Spreadsheet");
        EXPECT_FALSE(ForegroundIsSupported());
        AutoSwitch();
        EXPECT_EQ(env.desktop.foreground, w);
    }
    for (int row = 1; row <= kCatalogueRows; ++row) EXPECT_TRUE(seen[row]) << row;
}

// Within one press the foreground's process name is read once, whichever row takes
// the press, and again only when another window has come to the front.
TEST(CatalogueRecognition, OnePressReadsTheForegroundProcessOnceAtAnyRow) {
    for (const Program& p : kPrograms) {
        FakeEnv env;
        env.Foreground(p.exe, TitleOf(p.title), p.className);
        env.processes.lookups = 0;
        const ForegroundPressScope press;
        EXPECT_TRUE(ForegroundIsSupported());
        EXPECT_EQ(ForegroundCatalogueRow(), p.row);
        const int32_t first = env.processes.lookups;
        EXPECT_LE(first, 1) << "row " << p.row;
        env.Foreground("unknown.exe", "Spreadsheet");
        EXPECT_EQ(ForegroundCatalogueRow(), -1);
        EXPECT_FALSE(ForegroundIsSupported());
        EXPECT_EQ(env.processes.lookups, first + 1) << "row " << p.row;
    }
}

TEST(CatalogueRecognition, RowsAreInTableOrder) {
    for (int row = 1; row <= kCatalogueRows; ++row) {
        EXPECT_EQ(ProfileCatalogue()[row - 1].number, row);
        EXPECT_EQ(&CatalogueRow(row), &ProfileCatalogue()[row - 1]);
    }
}

struct EdgeCase {
    const char* exe;
    const char* title;
    int row;  // -1: not supported
};

TEST(CatalogueRecognition, OrderAndExactNameEdgeCases) {
    const EdgeCase cases[] = {
        {"MPlayer2.EXE", kTitle, 127},
        {"mplayer.exe", kTitle, 126},
        {"MPlayerC.exe", kTitle, 79},
        {"mplayer2", kTitle, -1},
        {"xmplayer.exe", kTitle, -1},
        {"gdivx player.exe", kTitle, 77},
        {"gdivx player2.exe", kTitle, 135},
        {"divx.exe", kTitle, 135},
        {"winamp.exe", "Winamp Player Window", 78},
        {"winamp.exe", "1. Artist - Song - Winamp", 148},
        {"winamp.exe", "player window", 148},
        {"winamp3.exe", "Player Window", 148},
        {"winamp.exe", "Winamp Playlist Editor", 78},
        {"unknown.exe", "My Media Library", 78},
        {"unknown.exe", "my media library", -1},
        {"firefox.exe", "Media Library", 19},
        {"notepad.exe", "Media Library", 78},
        {"studio.exe", "Holiday SLIDE SHOW", 30},
        {"studio.exe", "Studio", 148},
        {"unknown.exe", "slide show", -1},
        {"wmplayer.exe", "Windows Media Player DFX", -1},
        {"wmplayer.exe", "dfx inside", 150},
        {"WMPlayer.exe", "Windows Media Player", 150},
        {"unknown.exe", "Windows Media Player DFX", -1},
        {"notepad.exe", "Untitled - Notepad", 125},
        {"Notepad.EXE", "Untitled - Notepad", 125},
        {"C:\\Tools\\vlc.exe", kTitle, 80},
        {"unknown.exe", kTitle, -1},
        {"unknown.exe", "", -1},
        {"", "", -1},
        {"pvcr.exe", "AVerMedia Center", 109},
        {"unknown.exe", "Live365 - player window", -1},
    };
    for (const EdgeCase& c : cases) {
        FakeEnv env;
        env.Foreground(c.exe, c.title);
        SCOPED_TRACE(std::string(c.exe) + " / " + c.title);
        EXPECT_EQ(ForegroundCatalogueRow(), c.row);
        EXPECT_EQ(ForegroundIsSupported(), c.row != -1);
    }
}

TEST(CatalogueRecognition, ClassRulesAreExactAndCaseSensitive) {
    FakeEnv env;
    env.Foreground("x.exe", kTitle, "TBeoLinkApplication2");
    EXPECT_EQ(ForegroundCatalogueRow(), -1);
    env.Foreground("x.exe", kTitle, "pressplayclientclass");
    EXPECT_EQ(ForegroundCatalogueRow(), -1);
}

TEST(CatalogueRecognition, WithoutAProcessNameOnlyTitleAndClassRulesHold) {
    FakeEnv env;
    env.processes.imageNameWorks = false;
    env.processes.snapshotFails = true;
    env.Foreground("vlc.exe");
    EXPECT_EQ(ForegroundCatalogueRow(), -1);
    EXPECT_FALSE(ForegroundIsSupported());
    env.Foreground("wmplayer.exe", "Windows Media Player");
    EXPECT_EQ(ForegroundCatalogueRow(), -1);
    env.Foreground("winamp.exe", "Playlist Editor");
    EXPECT_EQ(ForegroundCatalogueRow(), 78);
    env.Foreground("x.exe", kTitle, "PressplayClientClass");
    EXPECT_EQ(ForegroundCatalogueRow(), 132);
}

TEST(CatalogueRecognition, GoneWindowMatchesNoRow) {
    FakeEnv env;
    const WindowHandle w = env.Foreground("vlc.exe", "Media Library");
    env.desktop.Remove(w);
    EXPECT_EQ(WindowSearchMatch(w), -1);
    EXPECT_FALSE(WindowIsCatalogued(w));
    EXPECT_EQ(ForegroundCatalogueRow(), -1);
}

struct SearchCase {
    const char* exe;
    const char* title;
    const char* className;
    int dispatchRow;
    int searchMatch;
};

TEST(CatalogueWindowSearch, PositionsOfThePluginClassAndRow131) {
    const SearchCase cases[] = {
        // Row 131 is asked straight after row 35, ahead of rows 36..155 ...
        {"pvcr.exe", "AVerMedia Center", kClass, 109, 131},
        {"pvcr.exe", "Media Library", kClass, 78, 131},
        {"pvcr.exe", kTitle, "TBeoLinkApplication", 98, 131},
        // ... but after rows 2..35.
        {"pvcr.exe", "SoftSqueeze", kClass, 17, 17},
        {"pvcr.exe", "StudioMaster", kClass, 30, 30},
        // The plug-in class comes after row 1 and before row 2.
        {"ctplay2.exe", kTitle, "Orbiscope.WMX", 2, kPluginClassMatch},
        {"ctplay2.exe", "orbiscope#", "Orbiscope.WMX", 1, 1},
        {"unknown.exe", kTitle, "Orbiscope.WMXA", -1, kPluginClassMatch},
    };
    for (const SearchCase& c : cases) {
        FakeEnv env;
        const WindowHandle w = env.Foreground(c.exe, c.title, c.className);
        SCOPED_TRACE(std::string(c.exe) + " / " + c.title + " / " + c.className);
        EXPECT_EQ(ForegroundCatalogueRow(), c.dispatchRow);
        EXPECT_EQ(WindowSearchMatch(w), c.searchMatch);
        EXPECT_TRUE(ForegroundIsSupported());
    }
}

TEST(CatalogueWindowSearch, TitleTestsOfTheSearchUseTheShortTitle) {
    FakeEnv env;
    // "Media Library" beyond the 249 characters a search reads.
    const WindowHandle w =
        env.Foreground("unknown.exe", std::string(249, '.') + "Media Library");
    EXPECT_EQ(ForegroundCatalogueRow(), 78);  // the foreground title is read whole
    EXPECT_EQ(WindowSearchMatch(w), -1);
}

TEST(CatalogueRecognition, SageTvFamilyIsRow88sRule) {
    const EdgeCase cases[] = {
        {"sagetv.exe", kTitle, 1},       {"SageTVStudio.exe", kTitle, 1},
        {"mysagetvclient.exe", kTitle, 1}, {"sagetvlite.exe", kTitle, 1},
        {"sagetv", kTitle, 0},           {"sagetvlite2.exe", kTitle, 0},
    };
    for (const EdgeCase& c : cases) {
        FakeEnv env;
        env.Foreground(c.exe, c.title);
        EXPECT_EQ(ForegroundIsSageTvFamily(), c.row == 1) << c.exe;
    }
}

}  // namespace
