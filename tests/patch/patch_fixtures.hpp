// Templates and sheets shared by the patch tests.
#pragma once

#include <vector>

#include "image/sprite_cells.hpp"
#include "image/template_image.hpp"
#include "sheet/character_sheet.hpp"

namespace kavelin::patch::testing {

// A 176 x 132 template in four colours, striped so that the tiles differ, with the palette
// extraction's result set by hand.
inline image::TemplateImage StripedTemplate(std::filesystem::path path = "/work/hero.gif") {
  image::TemplateImage t;
  t.path = std::move(path);
  const image::Colour colours[] = {image::Rgb(255, 255, 255), image::Rgb(200, 40, 40),
                                   image::Rgb(0, 0, 0), image::Rgb(24, 160, 80)};
  t.displayed = image::Raster(176, 132, image::kBackground);
  for (const auto& cell : image::kSpriteCells) {
    for (int y = cell.y; y < cell.y + cell.h; ++y) {
      for (int x = cell.x; x < cell.x + cell.w; ++x)
        t.displayed.Set(x, y, colours[(x + 2 * y) % 4]);
    }
  }
  t.palette.entries[0] = colours[0];
  t.palette.entries[1] = colours[1];
  t.palette.entries[2] = colours[2];
  t.palette.entries[3] = image::Rgb(0, 0, 0);
  t.palette.entries[4] = colours[3];
  t.loaded = t.displayed;
  return t;
}

// Every section on, with values that exercise each field.
inline sheet::CharacterSheet FullSheet() {
  sheet::CharacterSheet s;
  for (auto& f : s.flags)
    f.enabled = true;
  s.basicStatus.stats = {u"5", u"90", u"15", u"20", u"33", u"44", u"55"};
  s.basicStatus.lp = u"128";
  s.basicStatus.destinyStar = 4;
  s.basicStatus.favouriteWeapon = 8;
  s.basicStatus.inspirationType = 10;
  s.initialLevels.levels = {u"900", u"1", u"2", u"3", u"4", u"31", u"5", u"6", u"0"};
  s.initialLevels.grows = {true, false, true, false, false, false, true, false, true};
  s.initialLevels.earthSchool = 3;
  s.initialLevels.heavenSchool = 1;
  s.initialArts.techniques = {1, 2, 104, 0};
  s.initialArts.spells = {40, 1, 0, 0};
  s.initialEquipment.weapons = {89, 8, 0, 0};
  s.initialEquipment.armour = {1, 99, 40, 0};
  s.forbiddenSpells.forbiddenSchools = {true, false, true, false, false, true};
  s.otherTraits = {10, 15, 8};
  s.growthRates.growthRates = {u"0", u"8", u"255", u"1", u"2", u"3", u"4",  u"5",
                               u"6", u"7", u"8",   u"0", u"1", u"2", u"255"};
  s.Flags(sheet::Section::kInitialArts).locked = true;
  s.Flags(sheet::Section::kOtherTraits).locked = true;
  return s;
}

}  // namespace kavelin::patch::testing
