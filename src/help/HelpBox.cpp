#include "help/HelpBox.h"

#include <array>

#include "platform/Platform.h"
#include "platform/Text.h"
#include "screen/ScreenBuffer.h"

namespace almanouk {
namespace {

constexpr std::uint32_t kHelpGreen = 0x64C800;  // red 100, green 200, blue 0
constexpr std::uint32_t kEditorHelpOrange = 0xFF9600;
// The boxes' top left corners.
constexpr int kHelpRow = 2, kHelpColumn = 47;
constexpr int kEditorHelpRow = 1, kEditorHelpColumn = 46, kEditorHelpWidth = 32;

constexpr std::array<const char*, 22> kHelpLines = {
    " Almanouk 1.45. Gebruik voor  ", " navigeren  de  pijl-toetsen  ", " en Page Up, Page Down.  Met  ",
    " Ctrl-PageUp/PageDown,  door  ", " de jaren heen bladeren.  Om  ", " afspraken  of  verjaardagen  ",
    " in te vullen  gebruikt u de  ", " F2-toets. Ook kan een alarm  ", " gezet worden,  na dagnummer  ",
    " evt het jaar en dan de tijd  ", " in 't formaat: 07:45 en dan  ", " onderwerp.  Met de F4-toets  ",
    " naar 't instellingenscherm.  ", " Naar het dagboek  met Enter  ", " of F5.  Naar heden  met F3.  ",
    " Alle almanouks invoegen F7.  ", " Met 's' de items  scrollen.  ", " Voorzichtig met invullen in  ",
    " lijst en dagboek, het wordt  ", " direct opgeslagen, weg=weg.  ", " Werkt tussen  1901 en 2099.  ",
    " Afsluiten: kruisje, Alt-F4.  "};

constexpr std::array<const char*, 22> kEditorHelpLines = {
    "                                ", " Verjaardagsalmanouk aanpassen. ", " Onderaan moet ''Einde'' staan. ",
    " Voor  en na  de maandnaam moet ", " een lege regel.  De jaarlijkse ", " vermeldingen beginnen met dag- ",
    " nummer, spatie, naam. Eenmalig ", " melden:  dagnummer, spatie, 4- ", " delig  jaartal,  spatie, naam. ",
    " Voor de naam kan ook steeds de ", " tijd,  in het formaat:  09:45. ", " Maandelijks kan ook,  bovenaan ",
    " onder 'Maandelijks'. Fout her- ", " stellen kan met F3. Letter in- ", " voegen of verwijderen  met Ins ",
    " of Del. Regel invoegen of ver- ", " wijderen met Ctrl-i of Ctrl-d. ", " Regel kopieren met Ctl-k en de ",
    " regel weer plakken met Ctrl-p. ", " En tenslotte kan een programma ", " gestart worden  dmv '#' achter ",
    " het dagnummer, jaar of tijd.   "};

}  // namespace

void HelpBox::open() {
  platform_.setColours(kHelpGreen, 0);
  printAt(platform_, ScreenBuffer::kTitleRow, 0, repeat(' ', ScreenBuffer::kColumns));
  for (std::size_t i = 0; i < kHelpLines.size(); ++i)
    printAt(platform_, kHelpRow + static_cast<int>(i), kHelpColumn, kHelpLines[i]);
  focusAt(platform_, kHelpRow, kHelpColumn + 1);
  printAt(platform_, ScreenBuffer::kStatusRow, 0, repeat(' ', ScreenBuffer::kColumns));
  for (int column = 0; column < ScreenBuffer::kColumns; ++column)
    buffer_.at(ScreenBuffer::kStatusRow, column) = buffer_.blankCell();
}

void drawEditorHelp(Platform& platform, const ScreenBuffer& buffer) {
  platform.setColours(0, kEditorHelpOrange);
  for (std::size_t i = 0; i < kEditorHelpLines.size(); ++i)
    printAt(platform, kEditorHelpRow + static_cast<int>(i), kEditorHelpColumn, kEditorHelpLines[i]);
  // A blank row below the box, as wide as it.
  const int below = kEditorHelpRow + static_cast<int>(kEditorHelpLines.size());
  printAt(platform, below, kEditorHelpColumn, repeat(' ', kEditorHelpWidth));
  focusAt(platform, kEditorHelpRow + 1, kEditorHelpColumn + 1);
  const Theme& theme = buffer.theme();
  AttributeColours colours = coloursOf(theme.themeBg * 16 + theme.themeFg);
  platform.setColours(colours.foreground, colours.background);
}

}  // namespace almanouk
