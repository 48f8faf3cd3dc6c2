// Undo and redo: each finished change of the character (a choice, a tick, a swap, an
// opened file, the road's tidying) is a step that holds the character before and after.
// A template is the user's file, not part of the character: loading one is no step. The
// history reads and puts back the character through the two functions it is given, so it
// knows nothing of the window.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "sheet/character_sheet.hpp"
#include "sheet/palette_swap.hpp"

class QUndoStack;

namespace kavelin::app {

// What one step restores: the sheet and the palette swaps.
struct Character {
  sheet::CharacterSheet sheet;
  std::vector<sheet::PaletteSwap> swaps;
  bool operator==(const Character&) const = default;
};

class CharacterHistory {
 public:
  using Read = std::function<Character()>;
  using Apply = std::function<void(const Character&)>;
  CharacterHistory(QObject* parent, Read read, Apply apply);

  // Ends a step when the character differs from the last one recorded.
  void Record();
  // Takes the character as it is now as the start of the next step (after a template
  // load, or the start-up values).
  void Rebase();
  // Between the two, nothing is recorded: the character is being put in place.
  void Pause() { paused_ = true; }
  void Resume() { paused_ = false; }

  // Typing not yet ended by leaving its box is a step of its own, undone first.
  void Undo();
  void Redo();

 private:
  void Restore(const Character& character);

  QUndoStack* stack_;
  Read read_;
  Apply apply_;
  Character recorded_;  // the character as the last step left it
  bool paused_ = false;
};

}  // namespace kavelin::app
