// Muting while the curtain is down: the winmm volumes and the audio render
// endpoints are saved at the mute and given back exactly at the restore.
#include "OmbryFixture.h"

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

namespace {

// The note's first two lines as this run (the fakes' ThisRun) writes them.
const std::string kNoteOfThisRun = "Ombry mute note\r\nwriter 1 4242 133000000000000000\r\n";

class Sound : public OmbryTest {
protected:
    // Starts with muting chosen, this many MIDI outputs (which bound the
    // auxiliary ids) and these audio endpoints, over the devices the test
    // has set up.
    void StartMuting(unsigned midiDevices, std::vector<fakes::FakeApi::Endpoint> endpoints = {}) {
        api.midiDevices = midiDevices;
        if (!endpoints.empty()) api.endpoints = std::move(endpoints);
        Start("0,0,1,\"\",0,0,0,0\r\n");
        log.clear();
    }
    void Call(std::int16_t mode) { curtain.SoundOnOff(mode); }
    std::vector<std::string> Winmm() const { return log.Only({"waveOut", "aux"}); }
    bool MutedNow(const std::string& id) { return api.FindEndpoint(id)->muted; }
    void OneSecond() {
        for (int tick = 0; tick < 10; ++tick) curtain.Timer1.Tick();
    }
};

TEST_F(Sound, WinmmSequenceForEachAuxBound) {
    struct Case {
        unsigned midi;
        std::vector<std::string> mute, restore;
    };
    const Case cases[] = {
        {0,  // AuxDeviceCount -1: device 0 of waveform audio only
         {"waveOutGetVolume(0)", "waveOutSetVolume(0,0x0)"},
         {"waveOutSetVolume(0,0x40008000)"}},
        {1,
         {"waveOutGetVolume(0)", "auxGetVolume(0)", "waveOutSetVolume(0,0x0)", "auxSetVolume(0,0x0)"},
         {"waveOutSetVolume(0,0x40008000)", "auxSetVolume(0,0x1111)"}},
        {3,
         {"waveOutGetVolume(0)", "auxGetVolume(0)", "auxGetVolume(1)", "auxGetVolume(2)",
          "waveOutSetVolume(0,0x0)", "auxSetVolume(0,0x0)", "auxSetVolume(1,0x0)", "auxSetVolume(2,0x0)"},
         {"waveOutSetVolume(0,0x40008000)", "auxSetVolume(0,0x1111)", "auxSetVolume(1,0x2222)",
          "auxSetVolume(2,0x3333)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.midi);
        api.waveVolume = 0x40008000;
        api.auxVolumes = {0x1111, 0x2222, 0x3333, 0x4444};
        state.AuxDeviceCount = static_cast<std::int16_t>(c.midi) - 1;
        log.clear();
        Call(0);
        EXPECT_THAT(Winmm(), ElementsAreArray(c.mute));
        EXPECT_EQ(api.waveVolume, 0u);
        log.clear();
        Call(1);
        EXPECT_THAT(Winmm(), ElementsAreArray(c.restore));
        EXPECT_EQ(api.waveVolume, 0x40008000u);
        EXPECT_EQ(api.auxVolumes, (std::vector<std::uint32_t>{0x1111, 0x2222, 0x3333, 0x4444}));
    }
}

TEST_F(Sound, MoreMidiOutputsThanSavedSlotsTreatIdsZeroToTenOnly) {
    api.auxVolumes.assign(13, 0x5555);
    StartMuting(13);
    Call(0);
    const auto calls = log.Only({"aux"});
    ASSERT_EQ(calls.size(), 22u);
    EXPECT_EQ(calls[10], "auxGetVolume(10)");
    EXPECT_EQ(calls.back(), "auxSetVolume(10,0x0)");
    EXPECT_EQ(api.auxVolumes[11], 0x5555u);
}

TEST_F(Sound, ModesOtherThanZeroAndOneChangeNothing) {
    StartMuting(1, {{"spk"}});
    for (std::int16_t mode : {2, -1, 255}) Call(mode);
    EXPECT_THAT(log.calls, IsEmpty());
    EXPECT_FALSE(MutedNow("spk"));
}

TEST_F(Sound, AnUnreadableAuxDeviceKeepsItsEarlierValueAndGetsItBack) {
    api.auxVolumes = {0x1111, 0x2222};
    StartMuting(2);                  // start-up saved both
    api.auxVolumes = {0x6666};       // device 1 went away
    Call(0);
    EXPECT_EQ(state.AuxVolumes[1], 0x2222u);
    log.clear();
    Call(1);
    EXPECT_THAT(log.Only({"aux"}), ElementsAre("auxSetVolume(0,0x6666)", "auxSetVolume(1,0x2222)"));
}

TEST_F(Sound, RaiseRestoresTheLevelsFromJustBeforeTheMuteNotStartUps) {
    api.waveVolume = 0xFFFFFFFF;
    api.auxVolumes = {0x1000};
    StartMuting(1);
    api.waveVolume = 0x40008000;  // the user changes them after start
    api.auxVolumes = {0x2000};
    curtain.FormBig();
    api.waveVolume = 0x7777;      // and while the curtain is down
    curtain.Image1_DblClick();
    EXPECT_EQ(api.waveVolume, 0x40008000u);
    EXPECT_EQ(api.auxVolumes[0], 0x2000u);
}

// Each endpoint gets its own state back: muted ones stay muted, a change
// the user made while down is undone, a failing one is skipped, one that
// appeared after the last look is left alone.
TEST_F(Sound, EndpointsAreMutedAndGivenBackTheirOwnState) {
    StartMuting(0, {{"spk"}, {"hdmi", true}, {"usb", false, true}});
    curtain.FormBig();
    EXPECT_THAT(log.Only({"EnumAudio", "GetMute", "SetMute"}),
                ElementsAre("EnumAudioEndpoints()", "GetMute(spk)", "GetMute(hdmi)", "GetMute(usb)", "SetMute(spk,1)"));
    EXPECT_TRUE(MutedNow("spk"));

    api.FindEndpoint("hdmi")->muted = false;  // unmuted by the user while down
    api.endpoints.push_back({"bt"});          // plugged in while down
    api.FindEndpoint("usb")->fails = false;
    log.clear();
    curtain.Image1_DblClick();
    EXPECT_THAT(log.Only({"EnumAudio", "GetMute", "SetMute"}), ElementsAre("SetMute(spk,0)", "SetMute(hdmi,1)"));
    EXPECT_FALSE(MutedNow("spk"));
    EXPECT_TRUE(MutedNow("hdmi"));
    EXPECT_FALSE(MutedNow("usb"));
    EXPECT_FALSE(MutedNow("bt"));
    EXPECT_THAT(state.EndpointMutes, IsEmpty());
}

// An endpoint the restore cannot reach (unplugged) keeps the state the user
// had, for the next restore or the way out, while the others go on.
TEST_F(Sound, AnEndpointMissedByTheRestoreGetsItsOwnStateLater) {
    StartMuting(0, {{"spk"}, {"usb"}});
    curtain.FormBig();
    api.FindEndpoint("usb")->fails = true;
    curtain.Image1_DblClick();
    EXPECT_FALSE(MutedNow("spk"));
    EXPECT_TRUE(MutedNow("usb"));
    EXPECT_EQ(state.SoundMuted, 0);
    EXPECT_EQ(services.files["ombry.mute"], kNoteOfThisRun + "0 usb\r\n");  // for the next start

    api.FindEndpoint("usb")->fails = false;  // back, still muted by us
    curtain.FormBig();
    curtain.Image1_DblClick();
    EXPECT_FALSE(MutedNow("usb"));

    curtain.FormBig();
    api.FindEndpoint("usb")->fails = true;
    curtain.Image1_DblClick();
    api.FindEndpoint("usb")->fails = false;
    EXPECT_TRUE(curtain.GiveSoundBack());  // the way out tries again
    EXPECT_FALSE(MutedNow("usb"));
}

TEST_F(Sound, SpreadingAgainWhileMutedKeepsTheFirstSavedStates) {
    StartMuting(0, {{"spk"}});
    curtain.FormBig();
    curtain.FormBig();
    EXPECT_THAT(log.Only({"SetMute", "waveOutSetVolume"}), ElementsAre("waveOutSetVolume(0,0x0)", "SetMute(spk,1)"));
    curtain.Image1_DblClick();
    EXPECT_FALSE(MutedNow("spk"));
}

// The way out that no procedure took: the end of the message loop or a
// crash. Only what is held is given back; and from then on nothing mutes
// again (after a crash on another thread, this one may run on a while).
TEST_F(Sound, GivingTheSoundBackRestoresOnlyWhatIsHeld) {
    api.waveVolume = 0x40008000;
    StartMuting(0, {{"spk"}});
    curtain.FormBig();
    EXPECT_TRUE(curtain.GiveSoundBack());
    EXPECT_EQ(api.waveVolume, 0x40008000u);
    EXPECT_FALSE(MutedNow("spk"));
    EXPECT_EQ(state.SoundMuted, 0);
    log.clear();
    EXPECT_FALSE(curtain.GiveSoundBack());
    curtain.Image1_DblClick();
    curtain.FormBig();
    api.endpoints.push_back({"jack"});
    OneSecond();
    EXPECT_THAT(log.Only({"waveOut", "EnumAudio", "SetMute"}), IsEmpty());
}

TEST_F(Sound, GivingTheSoundBackInTheMiddleOfAMuteUnmutesWhatWasHeld) {
    StartMuting(0, {{"spk"}});
    Call(0);  // FormBig has not yet set SoundMuted
    ASSERT_EQ(state.SoundMuted, 0);
    curtain.GiveSoundBack();
    EXPECT_FALSE(MutedNow("spk"));
}

// Headphones plugged in while down: muted at the next look, each given its
// own state back at the restore; no looking while nothing is muted. Each
// is noted before it is muted, and the note goes with the restore.
// Listed again when they change, and while one that is there could not be
// read: not every second for nothing.
TEST_F(Sound, EndpointsThatArriveWhileMutedAreMutedAndGivenBack) {
    StartMuting(0, {{"spk"}, {"usb", false, true}});
    curtain.FormBig();
    api.endpoints.push_back({"jack"});
    api.endpoints.push_back({"bt", true});
    OneSecond();
    EXPECT_TRUE(MutedNow("jack"));
    EXPECT_THAT(log.Only({"ReplaceFile", "SetMute"}), ElementsAre("ReplaceFile(ombry.mute)", "SetMute(spk,1)",
                                                                 "ReplaceFile(ombry.mute)", "SetMute(jack,1)"));
    EXPECT_EQ(services.files["ombry.mute"], kNoteOfThisRun + "0 spk\r\n0 jack\r\n1 bt\r\n");
    api.FindEndpoint("usb")->fails = false;  // readable now, with no notice
    OneSecond();
    EXPECT_TRUE(MutedNow("usb"));
    log.clear();
    for (int second = 0; second < 3; ++second) OneSecond();
    EXPECT_THAT(log.Only({"EnumAudio"}), IsEmpty());

    curtain.Image1_DblClick();
    EXPECT_FALSE(services.files.contains("ombry.mute"));
    EXPECT_FALSE(MutedNow("spk"));
    EXPECT_FALSE(MutedNow("jack"));
    EXPECT_FALSE(MutedNow("usb"));
    EXPECT_TRUE(MutedNow("bt"));
    log.clear();
    for (int tick = 0; tick < 20; ++tick) curtain.Timer1.Tick();
    EXPECT_THAT(log.Only({"EnumAudio"}), IsEmpty());
}

// A killed run's note at start: each endpoint gets its own state back
// before anything else; never a mute, and a damaged note changes nothing.
// One that is away stays held and noted until it is back.
TEST_F(Sound, AtStartANoteLeftBehindUnmutesWhatItMutedThenGoes) {
    api.endpoints = {{"spk", true}, {"hdmi", true}};
    services.files["ombry.mute"] = "Ombry mute note\r\n0 spk\r\n1 hdmi\r\n0 usb\r\n";
    Start("0,0,1,\"\",0,0,0,0\r\n");
    EXPECT_THAT(log.Only({"SetMute", "Load(Form1"}), ElementsAre("SetMute(spk,0)", "SetMute(usb,0)", "Load(Form1)"));
    EXPECT_FALSE(MutedNow("spk"));
    EXPECT_TRUE(MutedNow("hdmi"));
    EXPECT_EQ(services.files["ombry.mute"], kNoteOfThisRun + "0 usb\r\n");

    OneSecond();
    api.endpoints.push_back({"usb", true});  // back, still muted
    OneSecond();
    EXPECT_FALSE(MutedNow("usb"));
    EXPECT_FALSE(services.files.contains("ombry.mute"));

    for (const char* damaged : {"", "Ombry mute note\r\n0 spk", "Ombry mute note\r\n2 spk\r\n",
                                "Ombry mute note\r\n0 spk\r\n0 \r\n", "0 spk\r\n", "Ombry\r\n0 spk\r\n",
                                "Ombry mute note\r\nwriter 1 2\r\n0 spk\r\n",
                                "Ombry mute note\r\n0 spk\r\nwriter 1 2 3\r\n"}) {
        FreshStart run("", [&](fakes::FakeServices& s) { s.files["ombry.mute"] = damaged; });
        EXPECT_THAT(run.log.Only({"SetMute"}), IsEmpty()) << damaged;
        EXPECT_FALSE(run.services.files.contains("ombry.mute")) << damaged;
    }
}

// A second copy in another session must not undo the first one's mute: a
// note whose writer still runs is left as it is; one whose writer has gone
// (the same process id, started at another time) is carried out (spk is
// away here, so this run takes it over). So is one whose writer started
// before this boot (a power cut), whatever now holds its id.
TEST_F(Sound, ANoteOfARunStillGoingOnIsLeftAlone) {
    const std::string note = "Ombry mute note\r\nwriter 2 4000 555\r\n0 spk\r\n";
    for (const int gone : {0, 1, 2}) {  // running; another start time; started before the boot
        const bool running = gone == 0;
        FreshStart run("", [&](fakes::FakeServices& s) {
            s.files["ombry.mute"] = note;
            s.otherRuns = {{2, 4000, gone == 1 ? 556u : 555u}};
            s.systemStarted = gone == 2 ? 556 : 0;
        });
        EXPECT_EQ(run.log.Only({"SetMute"}).size(), running ? 0u : 1u) << running;
        EXPECT_EQ(run.services.files["ombry.mute"] == note, running) << running;
    }
}

// The spread must not wait for a slow disk: the curtain is laid out and
// painted, then the note is written, then the first endpoint muted.
TEST_F(Sound, TheCurtainComesDownBeforeTheNoteAndTheNoteBeforeTheMute) {
    StartMuting(0, {{"spk"}});
    curtain.FormBig();
    EXPECT_THAT(log.Only({"Form1.Left", "Refresh(Form1)", "ReplaceFile", "SetMute"}),
                ElementsAre("Form1.Left=-10", "Refresh(Form1)", "ReplaceFile(ombry.mute)", "SetMute(spk,1)"));
}

// A screen reader speaks through the outputs: while one runs the curtain
// does not mute, and one started while muted gets the sound back.
TEST_F(Sound, AScreenReaderIsNeverSilenced) {
    StartMuting(1, {{"spk"}});
    api.screenReader = true;
    curtain.FormBig();
    EXPECT_THAT(log.Only({"waveOutSetVolume", "auxSetVolume", "SetMute", "ReplaceFile"}), IsEmpty());
    curtain.Image1_DblClick();

    api.screenReader = false;
    curtain.FormBig();
    ASSERT_TRUE(MutedNow("spk"));
    api.screenReader = true;
    OneSecond();
    EXPECT_FALSE(MutedNow("spk"));
    EXPECT_EQ(api.waveVolume, 0xFFFFFFFFu);
    EXPECT_EQ(state.SoundMuted, 0);

    // Narrator sets no flag: its process in this session tells.
    api.screenReader = false;
    api.sessionProcesses = {"Narrator.exe"};
    curtain.Image1_DblClick();
    curtain.FormBig();
    EXPECT_FALSE(MutedNow("spk"));
}

// A headset unplugged while down misses the restore; plugged in again after
// the raise, it gets its own state back at once, and the note goes.
TEST_F(Sound, AnUnpluggedHeadsetGetsItsStateBackWhenItReturns) {
    StartMuting(0, {{"spk"}, {"usb"}});
    curtain.FormBig();
    api.endpoints.pop_back();  // unplugged, muted
    curtain.Image1_DblClick();
    OneSecond();
    EXPECT_EQ(services.files["ombry.mute"], kNoteOfThisRun + "0 usb\r\n");

    api.endpoints.push_back({"usb", true});
    OneSecond();
    EXPECT_FALSE(MutedNow("usb"));
    EXPECT_FALSE(services.files.contains("ombry.mute"));
    log.clear();
    OneSecond();
    EXPECT_THAT(log.Only({"EnumAudio"}), IsEmpty());
}

}  // namespace
