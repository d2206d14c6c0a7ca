#include "platform/terminal/TerminalInput.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/KeyNames.h"

using namespace almanouk;

namespace {

// One decoder per terminal, from the machine's terminfo; none where it lacks the entry.
std::optional<TerminalInputDecoder> decoderFor(const std::string& term) {
  std::string whyNot;
  std::optional<TerminalDescription> description = describeTerminal(term, whyNot);
  if (!description) return std::nullopt;
  return TerminalInputDecoder(description->keys);
}

struct Row {
  const char* term;
  const char* bytes;
  const char* key;  // as a key script names it; "Close" for the close request
  bool shift = false;
};

// What each terminal sends for a key, as its terminfo entry, xterm's modifier
// numbers and the documented stand-ins say.
const Row kRows[] = {
    {"xterm-256color", "\x1bOP", "F1"},
    {"xterm-256color", "\x1b[15~", "F5"},
    {"xterm-256color", "\x1b[19~", "F8"},
    {"xterm-256color", "\x1bOA", "Up"},
    {"xterm-256color", "\x1bOD", "Left"},
    {"xterm-256color", "\x1bOH", "Home"},
    {"xterm-256color", "\x1bOF", "End"},
    {"xterm-256color", "\x1b[5~", "PgUp"},
    {"xterm-256color", "\x1b[6~", "PgDn"},
    {"xterm-256color", "\x1b[2~", "Ins"},
    {"xterm-256color", "\x1b[3~", "Del"},
    {"xterm-256color", "\x1b[5;5~", "Ctrl+PgUp"},
    {"xterm-256color", "\x1b[6;5~", "Ctrl+PgDn"},
    {"xterm-256color", "\x1b[5;2~", "PgUp", true},
    {"xterm-256color", "\x1b[6;2~", "PgDn", true},
    {"xterm-256color", "\x1b[1;2A", "Up", true},
    {"xterm-256color", "\x1b[Z", "Tab", true},
    {"xterm-256color", "\x7f", "Bksp"},
    {"xterm-256color", "\b", "Bksp"},
    {"xterm-256color", "\r", "Enter"},
    {"xterm-256color", "\t", "Tab"},
    {"xterm-256color", "\x1b", "Esc"},
    {"xterm-256color", "\x04", "Ctrl+D"},
    {"xterm-256color", "\x10", "Ctrl+P"},
    {"xterm-256color", "\x1bx", "Alt+X"},
    {"xterm-256color", "\x1bX", "Alt+X", true},
    {"xterm-256color", "\x1b[1;3S", "Close"},
    {"xterm-256color", "\x1b\x1bOS", "Close"},
    // The stand-ins for what a terminal keeps for itself or cannot send.
    {"xterm-256color", "\x1b[20~", "Ctrl+PgUp"},
    {"xterm-256color", "\x1b[21~", "Ctrl+PgDn"},
    {"xterm-256color", "\x1b[23~", "PgUp", true},
    {"xterm-256color", "\x1b[24~", "PgDn", true},
    // tmux and screen send xterm's modified keys; their entries name only the plain ones.
    {"screen-256color", "\x1bOP", "F1"},
    {"screen-256color", "\x1b[1~", "Home"},
    {"screen-256color", "\x1b[4~", "End"},
    {"screen-256color", "\x1b[5;5~", "Ctrl+PgUp"},
    {"screen-256color", "\x1b[6;5~", "Ctrl+PgDn"},
    {"screen-256color", "\x1b[6;2~", "PgDn", true},
    // The Linux console.
    {"linux", "\x1b[[A", "F1"},
    {"linux", "\x1b[[E", "F5"},
    {"linux", "\x1b[19~", "F8"},
    {"linux", "\x1b[A", "Up"},
    {"linux", "\x1b[1~", "Home"},
    {"linux", "\x1b[4~", "End"},
    {"linux", "\x1b[20~", "Ctrl+PgUp"},
    {"linux", "\x1b[21~", "Ctrl+PgDn"},
    {"linux", "\x1bx", "Alt+X"},
    // rxvt's own way with Ctrl and Shift.
    {"rxvt-unicode", "\x1b[11~", "F1"},
    {"rxvt-unicode", "\x1b[7~", "Home"},
    {"rxvt-unicode", "\x1b[5^", "Ctrl+PgUp"},
    {"rxvt-unicode", "\x1b[6^", "Ctrl+PgDn"},
    // A VT220's Find and Select are Home and End; its Backspace sends ^H.
    {"vt220", "\x1b[1~", "Home"},
    {"vt220", "\x1b[4~", "End"},
    {"vt220", "\b", "Bksp"},
    {"vt220", "\x1bOP", "F1"},
};

}  // namespace

TEST(TerminalInput, EachTerminalsKeysAreTheProgramsKeys) {
  std::map<std::string, std::optional<TerminalInputDecoder>> decoders;
  int checked = 0;
  for (const Row& row : kRows) {
    auto [at, added] = decoders.try_emplace(row.term);
    if (added) at->second = decoderFor(row.term);
    if (!at->second) continue;  // this machine has no terminfo entry for it
    const std::vector<TerminalInput> inputs = at->second->feed(row.bytes);
    SCOPED_TRACE(std::string(row.term) + " " + row.key);
    ASSERT_EQ(inputs.size(), 1u);
    if (std::string(row.key) == "Close") {
      EXPECT_EQ(inputs[0].kind, TerminalInput::Kind::Close);
    } else {
      ASSERT_EQ(inputs[0].kind, TerminalInput::Kind::Key);
      const std::optional<Key> want = keyNamed(row.key);
      ASSERT_TRUE(want);
      EXPECT_TRUE(inputs[0].key.is(*want));
      EXPECT_EQ(inputs[0].key.shift(), row.shift);
    }
    EXPECT_FALSE(at->second->waiting());
    ++checked;
  }
  if (checked == 0) GTEST_SKIP() << "no terminfo here";
}

TEST(TerminalInput, ASequenceCutOffWaitsForItsRest) {
  std::optional<TerminalInputDecoder> decoder = decoderFor("xterm-256color");
  if (!decoder) GTEST_SKIP() << "no terminfo here";
  EXPECT_TRUE(decoder->feed("\x1b[5").empty());
  EXPECT_TRUE(decoder->waiting());
  const std::vector<TerminalInput> inputs = decoder->feed(";5~");
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_TRUE(inputs[0].key.is(keys::kCtrlPageUp));
  // A character's UTF-8 bytes in two reads.
  EXPECT_TRUE(decoder->feed("\xC3").empty());
  const std::vector<TerminalInput> text = decoder->feed("\xA9");
  ASSERT_EQ(text.size(), 1u);
  EXPECT_EQ(text[0].kind, TerminalInput::Kind::Text);
  EXPECT_EQ(text[0].text, "\xC3\xA9");
}

TEST(TerminalInput, WhatNeverCameWholeIsNotTyped) {
  std::optional<TerminalInputDecoder> decoder = decoderFor("xterm-256color");
  if (!decoder) GTEST_SKIP() << "no terminfo here";
  EXPECT_TRUE(decoder->feed("\x1b[").empty());
  EXPECT_TRUE(decoder->flush().empty());
  EXPECT_FALSE(decoder->waiting());
  // A sequence the terminal's entry does not name (a paste's bracket) is dropped whole.
  EXPECT_TRUE(decoder->feed("\x1b[200~").empty());
  EXPECT_FALSE(decoder->waiting());
}

TEST(TerminalInput, EscAloneIsEscAtOnceAndTextComesAsTyped) {
  std::optional<TerminalInputDecoder> decoder = decoderFor("xterm-256color");
  if (!decoder) GTEST_SKIP() << "no terminfo here";
  std::vector<TerminalInput> inputs = decoder->feed("\x1b");
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_TRUE(inputs[0].key.is(keys::kEscape));
  inputs = decoder->feed("x\xE2\x82\xAC\rab");
  ASSERT_EQ(inputs.size(), 3u);
  EXPECT_EQ(inputs[0].text, "x\xE2\x82\xAC");
  EXPECT_TRUE(inputs[1].key.is(keys::kEnter));
  EXPECT_EQ(inputs[2].text, "ab");
  // Keys that came together while the program was busy: each of them.
  inputs = decoder->feed("\x1bOB\x1bOB\x1b[6~");
  ASSERT_EQ(inputs.size(), 3u);
  EXPECT_TRUE(inputs[2].key.is(keys::kPageDown));
}

TEST(TerminalInput, OnlyThePlainF9ToF12StandForOtherKeys) {
  std::optional<TerminalInputDecoder> decoder = decoderFor("xterm-256color");
  if (!decoder) GTEST_SKIP() << "no terminfo here";
  EXPECT_TRUE(decoder->feed("\x1b[20;2~").empty());  // Shift+F9 means nothing
  EXPECT_TRUE(decoder->feed("\x1b[24;5~").empty());  // Ctrl+F12 neither
  EXPECT_EQ(decoder->feed("\x1b[20~").size(), 1u);
}
