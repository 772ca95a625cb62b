// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BGM01.MID: an upbeat arcade loop in A minor at 150 beats a minute, 48 bars (about 77
// seconds): theme, lift, theme with the lead doubled, a broad bridge, the lift in
// harmony, and the theme over arpeggios, whose last bar leads back to the start.
// Every note ends inside the loop and every track ends exactly on the last bar line, so
// the tune repeats without a seam.
#include "tools/artgen/artwork.h"
#include "tools/artgen/random.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <string>

namespace artgen {
namespace {

constexpr int kTicksPerQuarter = 480;
constexpr int kTicksPerSixteenth = kTicksPerQuarter / 4;
constexpr int kTicksPerBar = kTicksPerQuarter * 4;
constexpr int kBars = 48;
constexpr std::uint32_t kLoopEnd = kTicksPerBar * kBars;

enum Channel { Lead = 0, Double = 1, Stabs = 2, Bass = 3, Arp = 4, Pad = 5, Drums = 9 };

// Builds one track; events at the same tick go note-offs first, then set-up, then
// note-ons, so a repeated note never swallows itself.
class TrackBuilder {
public:
    void meta(std::uint32_t tick, std::uint8_t type, const std::vector<std::uint8_t>& data) {
        std::vector<std::uint8_t> bytes{0xFF, type, std::uint8_t(data.size())};
        bytes.insert(bytes.end(), data.begin(), data.end());
        add(tick, 1, std::move(bytes));
    }
    void name(const std::string& text) { meta(0, 0x03, std::vector<std::uint8_t>(text.begin(), text.end())); }
    void control(int channel, int controller, int value) {
        add(0, 1, {std::uint8_t(0xB0 | channel), std::uint8_t(controller), std::uint8_t(value)});
    }
    void program(int channel, int number) { add(0, 1, {std::uint8_t(0xC0 | channel), std::uint8_t(number)}); }
    void note(int channel, std::uint32_t start, std::uint32_t length, int pitch, int velocity) {
        std::uint32_t end = std::min(start + length, kLoopEnd);
        if (start >= end) return;
        add(start, 2, {std::uint8_t(0x90 | channel), std::uint8_t(pitch), std::uint8_t(std::clamp(velocity, 1, 127))});
        add(end, 0, {std::uint8_t(0x80 | channel), std::uint8_t(pitch), 0});
    }
    MidiTrack finish(std::uint32_t endTick) {
        std::stable_sort(events_.begin(), events_.end(), [](const Ordered& a, const Ordered& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.rank < b.rank;
        });
        MidiTrack track;
        for (auto& e : events_) track.events.push_back({e.tick, std::move(e.data)});
        track.endTick = endTick;
        return track;
    }

private:
    struct Ordered {
        std::uint32_t tick;
        int rank;
        std::vector<std::uint8_t> data;
    };
    void add(std::uint32_t tick, int rank, std::vector<std::uint8_t> data) {
        events_.push_back({tick, rank, std::move(data)});
    }
    std::vector<Ordered> events_;
};

int pitchOf(const std::string& name) {
    static const std::map<char, int> steps{{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}};
    int pitch = steps.at(name[0]);
    std::size_t i = 1;
    if (name[i] == '#')
        ++pitch, ++i;
    else if (name[i] == 'b')
        --pitch, ++i;
    return pitch + 12 * (std::stoi(name.substr(i)) + 1);
}

// A phrase in a small notation: "A4:2 C5:2 r:4", lengths in sixteenths. Returns the
// notes as (start, length, pitch) from the given bar.
struct Note {
    std::uint32_t start, length;
    int pitch;
};
std::vector<Note> phrase(int bar, const std::string& text) {
    std::vector<Note> notes;
    std::istringstream in(text);
    std::string token;
    std::uint32_t at = std::uint32_t(bar) * kTicksPerBar;
    while (in >> token) {
        auto colon = token.find(':');
        std::uint32_t length = std::uint32_t(std::stoi(token.substr(colon + 1))) * kTicksPerSixteenth;
        std::string name = token.substr(0, colon);
        if (name != "r") notes.push_back({at, length, pitchOf(name)});
        at += length;
    }
    return notes;
}

struct Chord {
    int root;                  // bass root, octave 2
    std::vector<int> voicing;  // middle-register triad
};
const std::map<std::string, Chord>& chords() {
    static const std::map<std::string, Chord> table{
        {"Am", {45, {57, 60, 64}}}, {"F", {41, {57, 60, 65}}},  {"G", {43, {55, 59, 62}}}, {"Em", {40, {55, 59, 64}}},
        {"E", {40, {56, 59, 64}}},  {"Dm", {38, {57, 62, 65}}}, {"C", {36, {55, 60, 64}}},
    };
    return table;
}

// The tune's sections, eight bars each: chord per bar and the lead's phrase per bar.
enum class Section { Theme, Lift, ThemeDoubled, Bridge, LiftHarmony, ThemeArpeggio };
constexpr Section kForm[] = {Section::Theme,  Section::Lift,        Section::ThemeDoubled,
                             Section::Bridge, Section::LiftHarmony, Section::ThemeArpeggio};
constexpr int kSections = int(std::size(kForm));

const std::vector<std::string> kThemeChords{"Am", "F", "G", "Em", "Am", "F", "G", "E"};
const std::vector<std::string> kLiftChords{"F", "G", "Em", "Am", "Dm", "G", "C", "E"};
const std::vector<std::string> kBridgeChords{"F", "G", "Am", "Am", "F", "G", "E", "E"};

const std::vector<std::string> kThemeMelody{"A4:2 C5:2 E5:4 D5:2 C5:2 B4:2 C5:2", "A4:6 F4:2 A4:2 C5:2 F5:4",
                                            "G5:3 F5:1 E5:2 D5:2 B4:4 G4:4",      "E5:8 r:4 B4:2 D5:2",
                                            "E5:2 A5:2 G5:2 E5:2 C5:4 D5:2 E5:2", "F5:4 E5:2 D5:2 C5:4 A4:4",
                                            "B4:2 C5:2 D5:2 G5:2 F5:3 E5:1 D5:4", "E5:6 G#4:2 B4:4 E5:2 G#5:2"};
const std::vector<std::string> kLiftMelody{"C6:4 A5:2 F5:2 C5:4 F5:4",      "D6:4 B5:2 G5:2 D5:4 G5:4",
                                           "E6:3 D6:1 B5:2 G5:2 E5:4 B5:4", "C6:6 B5:2 A5:8",
                                           "F5:2 A5:2 D6:4 C6:2 A5:2 F5:4", "G5:2 B5:2 D6:4 C6:2 B5:2 G5:4",
                                           "E5:2 G5:2 C6:4 B5:2 C6:2 E6:4", "D6:4 B5:4 G#5:4 E5:4"};
const std::vector<std::string> kBridgeMelody{"A5:12 G5:4", "B5:12 D6:4", "C6:16",  "E6:4 D6:4 C6:4 B5:4",
                                             "A5:12 C6:4", "B5:8 G5:8",  "G#5:16", "B5:4 G#5:4 E5:4 r:4"};

Section sectionOf(int bar) { return kForm[bar / 8]; }

const std::string& chordName(int bar) {
    switch (sectionOf(bar)) {
        case Section::Lift:
        case Section::LiftHarmony: return kLiftChords[bar % 8];
        case Section::Bridge: return kBridgeChords[bar % 8];
        default: return kThemeChords[bar % 8];
    }
}

std::string melodyOf(int bar) {
    switch (sectionOf(bar)) {
        case Section::Lift:
        case Section::LiftHarmony: return kLiftMelody[bar % 8];
        case Section::Bridge: return kBridgeMelody[bar % 8];
        // Before the bridge the theme ends open, on the fifth, instead of leading home.
        case Section::ThemeDoubled: return bar % 8 == 7 ? "E5:4 B4:4 E5:4 r:4" : kThemeMelody[bar % 8];
        default: return kThemeMelody[bar % 8];
    }
}

// A third below in A minor, for the harmony in the second lift. G sharp, the leading
// note over E, takes E below it.
int thirdBelow(int pitch) {
    static const int scale[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    const bool sharpened = pitch % 12 == 8;
    const int pc = sharpened ? 7 : pitch % 12;
    const int degree = int(std::find(scale, scale + 7, pc) - scale);
    if (degree == 7) return pitch - 3;
    const int interval = (pc - scale[(degree + 5) % 7] + 12) % 12;
    return pitch - interval - (sharpened ? 1 : 0);
}

void setUp(TrackBuilder& t, const std::string& name, int channel, int program, int volume, int pan, int reverb) {
    t.name(name);
    if (channel != Drums) t.program(channel, program);
    t.control(channel, 7, volume);
    t.control(channel, 10, pan);
    t.control(channel, 91, reverb);
}

MidiTrack leadTrack() {
    TrackBuilder t;
    setUp(t, "Lead", Lead, 80, 92, 64, 40);
    for (int bar = 0; bar < kBars; ++bar)
        for (const Note& n : phrase(bar, melodyOf(bar))) {
            bool strong = (n.start % kTicksPerQuarter) == 0;
            t.note(Lead, n.start, n.length - n.length / 8, n.pitch, strong ? 104 : 92);
        }
    return t.finish(kLoopEnd);
}

// A softer second voice: the lead an octave down in the second theme, a third below
// it in the second lift.
MidiTrack doubleTrack() {
    TrackBuilder t;
    setUp(t, "Lead double", Double, 81, 70, 40, 50);
    for (int bar = 0; bar < kBars; ++bar) {
        Section section = sectionOf(bar);
        if (section != Section::ThemeDoubled && section != Section::LiftHarmony) continue;
        for (const Note& n : phrase(bar, melodyOf(bar))) {
            int pitch = section == Section::ThemeDoubled ? n.pitch - 12 : thirdBelow(n.pitch);
            t.note(Double, n.start, n.length - n.length / 8, pitch, 80);
        }
    }
    return t.finish(kLoopEnd);
}

MidiTrack bassTrack() {
    TrackBuilder t;
    setUp(t, "Bass", Bass, 38, 104, 64, 10);
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& c = chords().at(chordName(bar));
        std::uint32_t at = std::uint32_t(bar) * kTicksPerBar;
        bool bridge = sectionOf(bar) == Section::Bridge;
        for (int eighth = 0; eighth < 8; ++eighth) {
            // Octave bounce in the theme and the lift; in the bridge a driving root.
            int pitch = (!bridge && eighth % 2 == 1) ? c.root + 12 : c.root;
            int velocity = eighth % 2 == 0 ? 108 : 88;
            t.note(Bass, at + std::uint32_t(eighth) * 240, 200, pitch, velocity);
        }
    }
    return t.finish(kLoopEnd);
}

MidiTrack stabTrack() {
    TrackBuilder t;
    setUp(t, "Chords", Stabs, 5, 94, 84, 60);
    for (int bar = 0; bar < kBars; ++bar) {
        if (sectionOf(bar) == Section::Bridge) continue;
        const Chord& c = chords().at(chordName(bar));
        std::uint32_t at = std::uint32_t(bar) * kTicksPerBar;
        // Off-beat stabs: the "and" of every beat.
        for (int beat = 0; beat < 4; ++beat)
            for (int pitch : c.voicing) t.note(Stabs, at + std::uint32_t(beat) * 480 + 240, 150, pitch, 84);
    }
    return t.finish(kLoopEnd);
}

MidiTrack padTrack() {
    TrackBuilder t;
    setUp(t, "Pad", Pad, 89, 64, 44, 80);
    for (int bar = 0; bar < kBars; ++bar) {
        Section section = sectionOf(bar);
        if (section != Section::Lift && section != Section::Bridge && section != Section::LiftHarmony) continue;
        const Chord& c = chords().at(chordName(bar));
        std::uint32_t at = std::uint32_t(bar) * kTicksPerBar;
        for (int pitch : c.voicing) t.note(Pad, at, kTicksPerBar - 30, pitch + 12, 70);
    }
    return t.finish(kLoopEnd);
}

MidiTrack arpTrack() {
    TrackBuilder t;
    setUp(t, "Arpeggio", Arp, 81, 58, 96, 60);
    for (int bar = 0; bar < kBars; ++bar) {
        Section section = sectionOf(bar);
        if (section == Section::Theme || section == Section::ThemeDoubled) continue;
        const Chord& c = chords().at(chordName(bar));
        std::uint32_t at = std::uint32_t(bar) * kTicksPerBar;
        const int pattern[8] = {0, 1, 2, 3, 4, 3, 2, 1};
        for (int s = 0; s < 16; ++s) {
            int step = pattern[s % 8];
            int pitch = c.voicing[step % 3] + 12 * (step / 3) + 12;
            t.note(Arp, at + std::uint32_t(s) * kTicksPerSixteenth, 100, pitch, s % 4 == 0 ? 76 : 60);
        }
    }
    return t.finish(kLoopEnd);
}

MidiTrack drumTrack() {
    enum { Kick = 36, Snare = 38, ClosedHat = 42, OpenHat = 46, Crash = 49, Clap = 39, TomHigh = 50, TomLow = 45 };
    TrackBuilder t;
    setUp(t, "Drums", Drums, 0, 110, 64, 30);
    Random random(0xD7D7);
    for (int bar = 0; bar < kBars; ++bar) {
        std::uint32_t at = std::uint32_t(bar) * kTicksPerBar;
        bool fill = bar % 8 == 7;
        if (bar % 8 == 0) t.note(Drums, at, 240, Crash, 100);
        for (int eighth = 0; eighth < 8; ++eighth) {
            std::uint32_t e = at + std::uint32_t(eighth) * 240;
            if (fill && eighth >= 6) continue;
            bool open = eighth == 7 && bar % 2 == 1;
            t.note(Drums, e, 120, open ? OpenHat : ClosedHat, (eighth % 2 ? 64 : 84) + random.below(10));
        }
        t.note(Drums, at, 120, Kick, 118);
        t.note(Drums, at + 960, 120, Kick, 110);
        if (bar % 2 == 1) t.note(Drums, at + 1200, 120, Kick, 96);
        t.note(Drums, at + 480, 120, Snare, 108);
        if (!fill) t.note(Drums, at + 1440, 120, Snare, 108);
        Section section = sectionOf(bar);
        if (section == Section::Lift || section == Section::LiftHarmony) t.note(Drums, at + 1440, 120, Clap, 90);
        if (fill) {
            // A run down the toms into the next bar line.
            const int pitches[8] = {Snare, Snare, TomHigh, TomHigh, TomLow, TomLow, Snare, Snare};
            for (int s = 0; s < 8; ++s)
                t.note(Drums, at + 960 + std::uint32_t(s) * kTicksPerSixteenth, 100, pitches[s], 86 + 4 * s);
        }
    }
    return t.finish(kLoopEnd);
}

MidiTrack tempoTrack() {
    TrackBuilder t;
    t.name("Vemol");
    t.meta(0, 0x51, {0x06, 0x1A, 0x80});  // 400000 microseconds a beat: 150 a minute
    t.meta(0, 0x58, {4, 2, 24, 8});       // 4/4
    t.meta(0, 0x59, {0, 1});              // A minor
    return t.finish(kLoopEnd);
}

}  // namespace

std::vector<MidiTrack> makeTune() {
    std::vector<MidiTrack> tracks{tempoTrack(), leadTrack(), doubleTrack(), stabTrack(),
                                  bassTrack(),  arpTrack(),  padTrack(),    drumTrack()};
    // The file keeps 33 tracks; the spare ones carry only their end.
    while (tracks.size() < 33) tracks.push_back(MidiTrack{});
    return tracks;
}

}  // namespace artgen
