#include "profiles/catalogue.h"

#include <optional>
#include <string>

#include "platform/ports.h"
#include "platform/vk.h"

#include "profiles/handlers.h"
#include "profiles/keymaps/keymaps.h"
#include "profiles/profile_files.h"
#include "desktop/window_queries.h"
#include "state/trace.h"

using catalogue::Clause;
using catalogue::Condition;
using catalogue::Rule;
using catalogue::Test;

// The title, class and process name of one window (or of the foreground window), each
// read from the system the first time a rule asks for it. One object serves one rule
// evaluation, so every row sees the current state.
class WindowFacts {
public:
    static WindowFacts Foreground() { return WindowFacts(true, 0); }
    static WindowFacts Of(WindowHandle window) { return WindowFacts(false, window); }

    // False when the title cannot be read; then every title test fails.
    bool Title(const std::string*& out) {
        if (!titleRead_) {
            titleRead_ = true;
            if (foreground_) {
                titleOk_ = ForegroundWindowTitle(title_);
            } else {
                title_ = WindowTitle(window_);
                titleOk_ = true;
            }
        }
        out = &title_;
        return titleOk_;
    }
    bool LowerTitle(const std::string*& out) {
        const std::string* title = nullptr;
        if (!Title(title)) return false;
        if (!lowerTitleRead_) {
            lowerTitleRead_ = true;
            lowerTitle_ = LowerAnsi(*title);
        }
        out = &lowerTitle_;
        return true;
    }
    const std::string& Class() {
        if (!classRead_) {
            classRead_ = true;
            className_ = foreground_ ? ForegroundWindowClass() : WindowClass(window_);
        }
        return className_;
    }
    const std::string& LowerProcess() {
        if (!processRead_) {
            processRead_ = true;
            process_ = LowerAnsi(foreground_ ? ForegroundProcessName()
                                             : ProcessNameOfWindow(window_));
        }
        return process_;
    }

private:
    WindowFacts(bool foreground, WindowHandle window)
        : foreground_(foreground), window_(window) {}

    bool foreground_;
    WindowHandle window_;
    bool titleRead_ = false, titleOk_ = false, lowerTitleRead_ = false, classRead_ = false,
         processRead_ = false;
    std::string title_, lowerTitle_, className_, process_;
};

namespace {

bool Holds(const Condition& condition, WindowFacts& facts) {
    const char* text = condition.Text();
    // An empty pattern would match every window; such a condition never holds.
    if (text == nullptr || text[0] == '\0') return false;
    const std::string* subject = nullptr;
    switch (condition.test) {
        case Test::ProcessIs: {
            const std::string& name = facts.LowerProcess();
            return !name.empty() && name == text;
        }
        case Test::ProcessContains:
            return facts.LowerProcess().find(text) != std::string::npos;
        case Test::TitleContains:
            return facts.Title(subject) && subject->find(text) != std::string::npos;
        case Test::LowerTitleContains:
            return facts.LowerTitle(subject) && subject->find(text) != std::string::npos;
        case Test::ClassIs:
            return facts.Class() == text;
    }
    return false;
}

bool Holds(const Clause& clause, WindowFacts& facts) {
    for (uint8_t i = 0; i < clause.count; ++i) {
        const Condition& c = clause.conditions[i];
        if (Holds(c, facts) == c.negated) return false;
    }
    return clause.count > 0;
}

// The rule vocabulary of the table below.
constexpr Condition Is(const char* name) { return Condition{Test::ProcessIs, name}; }
constexpr Condition Part(const char* part) { return Condition{Test::ProcessContains, part}; }
constexpr Condition Title(const char* text) { return Condition{Test::TitleContains, text}; }
constexpr Condition TitleRef(const char* const* text) {
    return Condition{Test::TitleContains, nullptr, text};
}
constexpr Condition NotTitle(const char* text) {
    return Condition{Test::TitleContains, text, nullptr, true};
}
constexpr Condition LowerTitle(const char* text) {
    return Condition{Test::LowerTitleContains, text};
}
constexpr Condition ClassIs(const char* name) { return Condition{Test::ClassIs, name}; }

constexpr AppProfile Row(int number, Rule rule, const keys::KeyMap& table) {
    AppProfile p;
    p.number = number;
    p.rule = rule;
    p.table = &table;
    return p;
}
constexpr AppProfile Row(int number, Rule rule, int (*handler)(int32_t)) {
    AppProfile p;
    p.number = number;
    p.rule = rule;
    p.handler = handler;
    return p;
}

using namespace keymaps;

constexpr AppProfile kCatalogue[] = {
    Row(1, {LowerTitle("orbiscope#")}, CooperatingKeyHandler),
    Row(2, {Is("ctplay2.exe")}, kRow002),
    Row(3, {Is("dvdplay.exe")}, kRow003),
    Row(4, {Is("la.exe")}, kRow004),
    Row(5, {Is("k!tv.exe")}, kRow005),
    Row(6, {Is("touchtone.exe")}, HandleRow006),
    Row(7, {Is("easyworship.exe")}, kRow007),
    Row(8, {Is("picasa.exe")}, kRow008),
    Row(9, {Is("msmsgs.exe")}, kRow009),
    Row(10, {Is("ktvplayer.exe")}, kRow010),
    Row(11, {Is("recorder.exe")}, kRow011),
    Row(12, {TitleRef(&kWebRadioTitleText)}, HandleRow012),
    Row(13, {Title("Live365 - Player Window")}, HandleRow013),
    Row(14, {Is("mv2playerplus.exe")}, kRow014),
    Row(15, {Is("gotallmedia.exe")}, kRow015),
    Row(16, {Is("aolmn.exe")}, HandleRow016),
    Row(17, {LowerTitle("softsqueeze")}, kRow017),
    Row(18, {Part("ez music player")}, kRow018),
    Row(19, {Is("firefox.exe")}, kRow019),
    Row(20, {Is("client01.exe")}, kRow020),
    Row(21, {Is("amp.exe")}, kRow021),
    Row(22, {Is("gbpvr.exe")}, kRow022),
    Row(23, {Is("ultradvd.exe")}, kRow023),
    Row(24, {Part("pcdjred")}, kRow024),
    Row(25, {Is("launcher.exe")}, kRow025),
    Row(26, {Part("roxio dvdmax")}, kRow026),
    Row(27, {Is("ssbeyondmedia.exe")}, kRow027),
    Row(28, {Is("meedio.exe")}, kRow028),
    Row(29, {Is("clickviewtv.exe")}, kRow029),
    Row(30,
        {LowerTitle("studiomaster"), Clause(LowerTitle("slide show"), Is("studio.exe")),
         LowerTitle("macromedia flash player")},
        HandleRow030),
    Row(31, {Is("vcdplay.exe"), Is("driveplay.exe"), Is("dvrplay.exe"), Part("remote dvr")},
        kRow031),
    Row(32, {Part("dell media experience"), Is("pcm2.exe"), Is("pcmservice.exe")}, kRow032),
    Row(33, {Is("mediaportal.exe")}, kRow033),
    Row(34, {Is("mediacar.exe")}, kRow034),
    Row(35, {Is("christv.exe")}, kRow035),
    Row(36, {Is("vidlizard.exe")}, kRow036),
    Row(37, {Is("magicdvd.exe")}, kRow037),
    Row(38, {Is("neromix.exe")}, kRow038),
    Row(39, {Is("progdvb.exe")}, kRow039),
    Row(40, {Is("onairhdeditor.exe")}, kRow040),
    Row(41, {Is("gottv.exe")}, kRow041),
    Row(42, {Is("mytheatre.exe")}, kRow042),
    Row(43, {Is("showtime.exe")}, kRow043),
    Row(44, {Is("apejukebox.exe")}, kRow044),
    Row(45, {Is("cineplayer.exe")}, kRow045),
    Row(46, {Is("fxsaver.scr"), Is("fxsaver.exe")}, kRow046),
    Row(47, {Is("sonique2.exe")}, kRow047),
    Row(48, {Is("photoshopalbum.exe")}, kRow048),
    Row(49, {Is("vuplayer.exe")}, kRow049),
    Row(50, {Is("home theater.exe")}, kRow050),
    Row(51, {Is("tvseries.exe"), Is("avertv.exe")}, kRow051),
    Row(52, {Part("4ammusicconsole")}, kRow052),
    Row(53, {Is("i_view32.exe")}, kRow053),
    Row(54, {Is("pcm3.exe")}, kRow054),
    Row(55, {Is("digitv.exe")}, HandleRow055),
    Row(56, {Is("muzikbrowzer.exe")}, kRow056),
    Row(57, {Is("fmv5.exe")}, kRow057),
    Row(58, {Is("amplayer.exe")}, kRow058),
    Row(59, {Is("yeahplayer.exe")}, kRow059),
    Row(60, {Is("mediasonde.exe")}, kRow060),
    Row(61, {Is("extrememp3.exe")}, kRow061),
    Row(62, {Is("sthsdvd.exe")}, kRow062),
    Row(63, {Is("ddbplay.exe")}, kRow063),
    Row(64, {Is("coolcd.exe")}, kRow064),
    Row(65, {Is("audioplus.locked")}, kRow065),
    Row(66, {Is("pictureslideshow.exe")}, kRow066),
    Row(67, {Is("omgjbox.exe")}, kRow067),
    Row(68, {Is("tvtool.exe")}, kRow068),
    Row(69, {Is("dvb-tv.exe")}, kRow069),
    Row(70, {Is("totalrecorder.exe")}, kRow070),
    Row(71, {Is("dvdreceiver.exe")}, kRow071),
    Row(72, {Is("dvdplayer.exe")}, kRow072),
    Row(73, {Is("otstt.exe")}, kRow073),
    Row(74, {Is("nicemc.exe")}, kRow074),
    Row(75, {Is("hotwire.exe")}, kRow075),
    Row(76, {Is("blazedvd.exe")}, kRow076),
    Row(77, {Is("gdivx player.exe")}, kRow077),
    Row(78,
        {Clause(Is("winamp.exe"), Title("Player Window")), Title("Playlist Editor"),
         Title("Media Library")},
        HandleRow078),
    Row(79, {Is("mplayerc.exe")}, kRow079),
    Row(80, {Is("vlc.exe")}, kRow080),
    Row(81, {Is("coreplayer.exe")}, kRow081),
    Row(82, {Is("playcdgpe.exe")}, kRow082),
    Row(83, {Is("cdmax.exe")}, kRow083),
    Row(84, {Is("cinematograph.exe")}, kRow084),
    Row(85, {Is("axcdplay.exe")}, kRow085),
    Row(86, {Is("virtuosa.exe")}, kRow086),
    Row(87, {Is("radlight.exe")}, kRow087),
    Row(88, {Is("sagetv.exe"), Is("sagetvstudio.exe"), Part("sagetvclient"), Is("sagetvlite.exe")},
        kRow088),
    Row(89, {Is("qcdplayer.exe")}, kRow089),
    Row(90, {Is("ampplus.exe")}, kRow090),
    Row(91, {Is("mediamonkey.exe")}, kRow091),
    Row(92, {Is("wftv.exe")}, kRow092),
    Row(93, {Is("vision.exe")}, kRow093),
    Row(94, {Is("ctcms.exe"), Is("ctdvda.exe"), Is("ctasr.exe")}, HandleRow094),
    Row(95, {Is("radio.exe")}, kRow095),
    Row(96, {Is("atomixmp3.exe")}, kRow096),
    Row(97, {Is("acdsee6.exe")}, HandleRow097),
    Row(98, {ClassIs("TBeoLinkApplication")}, kRow098),
    Row(99, {Is("coolplayer.exe")}, kRow099),
    Row(100, {Is("crystal.exe")}, kRow100),
    Row(101, {Is("dojo.exe")}, kRow101),
    Row(102, {Is("foobar2000.exe")}, kRow102),
    Row(103, {Is("thumbs.exe")}, kRow103),
    Row(104, {Is("vmidi.exe")}, kRow104),
    Row(105, {Is("iplayer.exe")}, HandleRow105),
    Row(106, {Is("direct~1.exe"), Is("directdvdx.exe")}, kRow106),
    Row(107, {Is("jetaudio.exe")}, HandleRow107),
    Row(108, {Is("rhapsody.exe")}, kRow108),
    Row(109, {LowerTitle("avermedia")}, HandleRow109),
    Row(110, {Is("pcmc.exe")}, kRow110),
    Row(111, {Is("ehshell.exe")}, HandleRow111),
    Row(112, {Is("imeshclient.exe")}, HandleRow112),
    Row(113, {Is("kazaa.exe"), Is("kazaa.kpp")}, kRow113),
    Row(114, {Is("dscaler.exe")}, kRow114),
    Row(115, {Is("bplay.exe"), Is("bsplay.exe"), Is("bsplayer.exe")}, kRow115),
    Row(116, {Part("napster")}, HandleRow116),
    Row(117, {Is("nvdvd.exe"), Is("nstantmedia.exe")}, kRow117),
    Row(118, {Is("zplayer.exe")}, kRow118),
    Row(119, {Is("partymode.exe")}, kRow119),
    Row(120, {Is("opera.exe")}, kRow120),
    Row(121, {Is("myhtpc.exe")}, kRow121),
    Row(122, {Is("atimmc.exe")}, HandleRow122),
    Row(123, {Is("cdvdplay.exe")}, kRow123),
    Row(124, {Is("f32main.exe")}, kRow124),
    Row(125, {Is("itunes.exe"), Is("notepad.exe")}, HandleRow125),
    Row(126, {Is("mplayer.exe")}, kRow126),
    Row(127, {Is("mplayer2.exe")}, kRow127),
    Row(128, {Is("mmjb.exe")}, HandleRow128),
    Row(129, {Is("ctdvdply.exe")}, kRow129),
    Row(130, {Is("powerdvd.exe")}, kRow130),
    Row(131, {Is("pvcr.exe")}, kRow131),
    Row(132, {ClassIs("PressplayClientClass")}, HandleRow132),
    Row(133, {Is("proshow.exe")}, kRow133),
    Row(134, {Part("theatertek")}, kRow134),
    Row(135, {Part("divx")}, kRow135),
    Row(136, {Part("showshifter")}, HandleRow136),
    Row(137, {Is("windvd.exe")}, kRow137),
    Row(138, {Is("windvr.exe")}, HandleRow138),
    Row(139, {Is("powerpnt.exe"), Is("ppview32.exe")}, kRow139),
    Row(140, {Title("Picture and Fax Viewer")}, kRow140),
    Row(141, {Is("movieplayer.exe")}, kRow141),
    Row(142, {Is("quicktimeplayer.exe"), Is("quicktimeplayer")}, kRow142),
    Row(143, {Is("station.exe")}, kRow143),
    Row(144, {Is("realjbox.exe")}, kRow144),
    Row(145, {Is("realplay.exe")}, kRow145),
    Row(146, {Is("sfsiren.exe")}, kRow146),
    Row(147, {Is("sonique.exe")}, kRow147),
    Row(148, {Is("winamp.exe"), Is("studio.exe"), Is("winamp3.exe")}, HandleRow148),
    Row(149, {Is("freeamp.exe"), Is("zinf.exe")}, HandleRow149),
    Row(150, {Clause(NotTitle("DFX"), Is("wmplayer.exe"))}, HandleRow150),
    Row(151, {Is("wintv32.exe")}, kRow151),
    Row(152, {Is("wintv2k.exe")}, kRow152),
    Row(153, {Part("media jukebox")}, kRow153),
    Row(154, {Is("xingdvd.exe")}, kRow154),
    Row(155, {Is("swiftultra.exe")}, kRow155),
};
static_assert(sizeof(kCatalogue) / sizeof(kCatalogue[0]) == kCatalogueRows);

constexpr bool RowsAreNumberedInOrder() {
    for (int i = 0; i < kCatalogueRows; ++i) {
        if (kCatalogue[i].number != i + 1) return false;
        if (kCatalogue[i].rule.count == 0) return false;
    }
    return true;
}
static_assert(RowsAreNumberedInOrder());

// The window search asks row 131 straight after row 35; the plug-in class rule comes
// between row 1 and row 2.
constexpr int kWindowSearchOrder[] = {
    1,   kPluginClassMatch, 2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,
    15,  16,  17,  18,  19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,
    33,  34,  35,  131, 36,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  48,  49,
    50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,  64,  65,  66,  67,
    68,  69,  70,  71,  72,  73,  74,  75,  76,  77,  78,  79,  80,  81,  82,  83,  84,  85,
    86,  87,  88,  89,  90,  91,  92,  93,  94,  95,  96,  97,  98,  99,  100, 101, 102, 103,
    104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121,
    122, 123, 124, 125, 126, 127, 128, 129, 130, 132, 133, 134, 135, 136, 137, 138, 139, 140,
    141, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152, 153, 154, 155,
};

constexpr bool WindowSearchAsksEachRowOnce() {
    int seen[kCatalogueRows + 1] = {};
    for (const int row : kWindowSearchOrder) {
        if (row < 0 || row > kCatalogueRows || seen[row]++ != 0) return false;
    }
    return sizeof(kWindowSearchOrder) / sizeof(kWindowSearchOrder[0]) == kCatalogueRows + 1;
}
static_assert(WindowSearchAsksEachRowOnce());

}  // namespace

bool AppProfile::Matches(WindowFacts& facts) const {
    for (uint8_t i = 0; i < rule.count; ++i) {
        if (Holds(rule.clauses[i], facts)) return true;
    }
    return false;
}

namespace {

// The press under way on this thread, whose scope holds the foreground facts read so far.
thread_local ForegroundPressScope* t_pressScope = nullptr;

}  // namespace

struct ForegroundPressScope::Facts {
    WindowHandle window = 0;
    std::optional<WindowFacts> facts;

    WindowFacts& OfTheWindowInFront() {
        Desktop* desktop = Os().desktop;
        const WindowHandle front = desktop != nullptr ? desktop->ForegroundWindow() : 0;
        if (!facts || window != front) {
            facts.emplace(WindowFacts::Foreground());
            window = front;
        }
        return *facts;
    }
};

ForegroundPressScope::ForegroundPressScope()
    : outer_(t_pressScope),
      own_(outer_ == nullptr ? std::make_unique<Facts>() : nullptr),
      facts_(outer_ == nullptr ? own_.get() : outer_->facts_) {
    t_pressScope = this;
}

ForegroundPressScope::~ForegroundPressScope() { t_pressScope = outer_; }

bool AppProfile::matchesForeground() const {
    if (t_pressScope != nullptr) return Matches(t_pressScope->facts_->OfTheWindowInFront());
    WindowFacts facts = WindowFacts::Foreground();
    return Matches(facts);
}

bool AppProfile::matchesWindow(WindowHandle window) const {
    WindowFacts facts = WindowFacts::Of(window);
    return Matches(facts);
}

int AppProfile::handleButton(int32_t button) const {
    if (handler != nullptr) return handler(button);
    return table != nullptr ? SendMappedKeys(*table, button) : 0;
}

const AppProfile* ProfileCatalogue() { return kCatalogue; }

const AppProfile& CatalogueRow(int number) {
    if (number < 1 || number > kCatalogueRows) number = 1;
    return kCatalogue[number - 1];
}

int ForegroundCatalogueRow() {
    for (const AppProfile& row : kCatalogue) {
        if (row.matchesForeground()) return row.number;
    }
    return -1;
}

int HandleCatalogueButton(int row, int32_t button) {
    if (row < 1 || row > kCatalogueRows) return 0;
    return kCatalogue[row - 1].handleButton(button);
}

bool CatalogueSupportsForeground() {
    if (kCatalogue[0].matchesForeground()) return true;
    if (ForegroundHasPluginClass()) return true;
    for (int i = 1; i < kCatalogueRows; ++i) {
        if (kCatalogue[i].matchesForeground()) return true;
    }
    return !ProfileForForeground().empty();
}

int WindowSearchMatch(WindowHandle window) {
    for (const int row : kWindowSearchOrder) {
        const bool match = row == kPluginClassMatch ? WindowHasPluginClass(window)
                                                    : kCatalogue[row - 1].matchesWindow(window);
        if (match) return row;
    }
    return ProfileForWindow(window).empty() ? -1 : kProfileFileMatch;
}

bool WindowIsCatalogued(WindowHandle window) { return WindowSearchMatch(window) != -1; }

bool ForegroundIsSageTvFamily() { return kCatalogue[87].matchesForeground(); }

bool ForegroundIsSupported() { return CatalogueSupportsForeground(); }

void AutoSwitch() {
    if (ForegroundIsSupported()) return;
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr) return;
    for (const WindowHandle window : desktop->TopLevelWindows()) {
        if ((desktop->WindowStyle(window) & kWsVisible) == 0) continue;
        if (const int row = WindowSearchMatch(window); row != -1) {
            TraceStep([&] {
                std::string why = row == kPluginClassMatch ? std::string("plug-in window")
                                  : row == kProfileFileMatch ? ProfileForWindow(window)
                                                             : "row " + std::to_string(row);
                return "auto-switch to " + LowerAnsi(ProcessNameOfWindow(window)) + " (" + why +
                       ")";
            });
            BringWindowToFront(window);
            return;
        }
    }
}
