// The menu "Operaciones", with a swatch of the card colour beside "Elegir Color". The
// swatch goes through a file beside the executable; where that folder cannot be
// written, the swatch is taken from the drawing it was made from.
#include "app/shell.h"
#include "card/renderer.h"
#include "draw/draw.h"
#include "files/card_files.h"
#include "ui/window.h"

namespace {

struct MenuItem {
  int32_t id;
  const char* text;
};
constexpr const char* kSeparator = "-";
constexpr MenuItem kItems[] = {
    {IDM_NEW_ONE, "Nuevo 1"},   {IDM_MANY, "Muchas"},
    {0, kSeparator},            {IDM_PHOTOCOPY, "Fotocopia"},
    {0, kSeparator},            {IDM_CHOOSE_COLOUR, "Elegir Color"},
    {0, kSeparator},            {IDM_AUTHOR, "Autor"},
    {IDM_EXIT, "Salir"},
};
// Where an item stands in the menu, counted from 0 with the separators.
constexpr int32_t PlaceOf(int32_t id) {
  int32_t place = 0;
  while (kItems[place].id != id) ++place;
  return place;
}
constexpr int32_t kColourItemPlace = PlaceOf(IDM_CHOOSE_COLOUR);
constexpr int32_t kAppend = -1;
constexpr int32_t kMenuBar = 0;
constexpr int32_t kDropDown = 1;

// The swatch bitmap is still the current drawing target after WriteSwatch.
uint32_t SwatchImageFromDrawing() {
  const TargetPixelsLock target;
  if (!target.held) return 0;
  const PixelView& view = target.view;
  return MenuImageFromPixels(view.width, view.height, view.stride, view.pixels);
}

uint32_t SwatchImage(Colour colour) {
  const bool written = WriteSwatch(colour);
  const uint32_t image = written ? LoadMenuImage(SwatchPath().c_str()) : 0;
  return image != 0 ? image : SwatchImageFromDrawing();
}

}  // namespace

void BuildMenu(uint32_t main_window) {
  const uint32_t swatch = SwatchImage(g_card_colour);
  const uint32_t bar = NewMenu(kMenuBar);
  const uint32_t drop_down = NewMenu(kDropDown);
  AddMenuItem(bar, drop_down, 0, 0, kAppend, nullptr, 1, "Operaciones");
  for (const MenuItem& item : kItems)
    AddMenuItem(drop_down, 0, item.id, 0, kAppend, nullptr, 0, item.text);
  SetMenuItemImage(drop_down, kColourItemPlace, swatch);
  AttachMenu(main_window, bar);
  RemoveSwatch();
}
