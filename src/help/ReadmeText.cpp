#include "help/ReadmeText.h"

#include <initializer_list>

#include "platform/TemporaryFiles.h"
#include "platform/NumberedFiles.h"
#include "platform/SystemName.h"
#include "platform/Text.h"

namespace almanouk {
namespace {

constexpr int kProseColumn = 15;  // headings in columns 2-13, prose from here

void addEmpty(std::vector<std::string>& lines, int count) { lines.insert(lines.end(), static_cast<std::size_t>(count), ""); }

// A prose section: the heading, then its lines; an empty text stays an empty line.
void addSection(std::vector<std::string>& lines, const char* heading, std::initializer_list<const char*> text) {
  bool first = true;
  for (const char* line : text) {
    std::string prose = cp437(line);
    if (first) {
      lines.push_back(" " + padRight(heading, kProseColumn - 3) + " " + prose);
    } else {
      lines.push_back(prose.empty() ? std::string() : repeat(' ', kProseColumn - 1) + prose);
    }
    first = false;
  }
}

void addIndented(std::vector<std::string>& lines, std::initializer_list<const char*> text) {
  for (const char* line : text) lines.push_back(*line ? "   " + cp437(line) : std::string());
}

// How to start the program and where its data is, as each system has it.
void addGettingStarted(std::vector<std::string>& lines, SystemKind system) {
  if (system == SystemKind::Windows) {
    addSection(lines, "Aan de slag",
               {"Het installatieprogramma zet Almanouk in Program Files, met een",
                "snelkoppeling in het startmenu. Almanouk vraagt Windows 8 of",
                "nieuwer, en verder niets: alles zit in het programmabestand.",
                "Alle gegevens staan in de map Almanouk onder %appdata%.",
                "Wie versie 1.30 of ouder gebruikte, had de gegevens in de map",
                "van het programma staan. Verhuis ze dan eenmalig vanuit die",
                "map met deze twee opdrachtregels:"});
    addEmpty(lines, 1);
    lines.push_back(repeat(' ', 23) + "md \"%appdata%\\Almanouk\"");
    lines.push_back(repeat(' ', 14) + "En dan:  copy *.* \"%appdata%\\Almanouk\"");
    addEmpty(lines, 1);
    lines.push_back(repeat(' ', 14) + "Daarna mag de oude map weg.");
    return;
  }
  addSection(lines, "Aan de slag",
             {"Start Almanouk vanuit het menu (Kantoor, Agenda) of met de",
              "opdracht almanouk. Zet het bij de opstartprogramma's van uw",
              "bureaublad om het bij het aanmelden mee te laten starten.",
              "Alle gegevens staan in de map Almanouk onder ~/.local/share",
              "(of $XDG_DATA_HOME). Het geluid speelt via SDL2_mixer; een",
              "alarmpagina opent in de tekstviewer van het bureaublad.",
              "De bestanden zijn in codetabel 437 met CR LF. Lezen kan zo:"});
  addEmpty(lines, 1);
  lines.push_back(repeat(' ', 23) + "iconv -f CP437 -t UTF-8 ALMANOUK.AMN");
  lines.push_back(repeat(' ', 14) + "En terug: iconv -f UTF-8 -t CP437 tekst > ALMANOUK.AMN");
  addEmpty(lines, 1);
  lines.push_back(repeat(' ', 14) + "Sluit Almanouk eerst af als u zo een bestand terugzet.");
}

}  // namespace

std::vector<std::string> readmeLinesFor(SystemKind system) {
  const bool windows = system == SystemKind::Windows;
  std::vector<std::string> lines;
  const std::string rule = " " + repeat('-', 77);
  addEmpty(lines, 1);
  lines.push_back(std::string(windows ? " Almanouk v1.45 voor Windows 8 en nieuwer. " : " Almanouk v1.45 voor Linux. ") +
                  std::string(kMakerLine));
  lines.push_back(rule);
  addEmpty(lines, 2);
  addSection(lines, "Vier-in-een",
             {"Almanouk is een kalender, agenda, dagboek en wekker in een.",
              "Gebeurtenissen, afspraken en verjaardagen worden een in te",
              "stellen aantal dagen vooruit gemeld (standaard 7, 1 tot 30).",
              "Maanden en jaren zijn door te bladeren, bijvoorbeeld om op te",
              "zoeken op welke weekdag een datum valt.",
              "Bij een item kan een tijd worden genoteerd waarop een alarm",
              "afgaat, met een popup op het scherm.",
              "Vanuit elke dag is het dagboek van die dag te openen.",
              "Om 0:00 uur schuift de gekozen dag vanzelf een dag op."});
  addEmpty(lines, 2);
  addGettingStarted(lines, system);
  addEmpty(lines, 2);
  addSection(lines, "Bediening",
             {"Met de pijltoetsen gaat u een dag of een week terug of vooruit.",
              "Page Up en Page Down bladeren een maand terug of vooruit, en",
              "met Ctrl erbij een heel jaar. F3 gaat terug naar vandaag.",
              "Naast en onder de maand staan de items van de gekozen dag en",
              "van de dagen daarna; hoeveel dagen vooruit, stelt u per",
              "almanouk in op het keuzescherm (F4). Passen niet alle items op",
              "het scherm, dan scrollt u ze met de toets 's' een regel op.",
              "",
              "Items invullen gaat met F2, in de lijst van de almanouk. Een",
              "item begint met het dagnummer, een spatie en de tekst. Voor de",
              "tekst kan een jaartal van vier cijfers staan: dan geldt het",
              "item alleen in dat jaar. Daarna kan een tijd in de vorm 19:15",
              "staan: op die tijd gaat het alarm af. Een '#' met een spatie",
              "en een programma erachter start dat programma in plaats van",
              "een melding te geven.",
              "",
              "Toetsen in de lijst: Ctrl-I of Enter voegt een regel in,",
              "Ctrl-D verwijdert een regel, Insert en Delete voegen een",
              "letter in of halen er een weg, Ctrl-K kopieert een regel en",
              "Ctrl-P plakt hem weer. Esc slaat de lijst op en gaat terug.",
              "",
              "Een '#' direct na het dagnummer (of het jaartal) start het",
              "programma zonder tijd: bij het opstarten en om 0:00 uur, als",
              "de dag binnen de dagen vooruit valt.",
              "",
              windows ? "Als een alarm afgaat, verschijnt er een popup en klinkt de"
                      : "Als een alarm afgaat, verschijnt er een popup en klinkt een",
              windows ? "PC-speaker. Met de spatiebalk zet u de toon van het volgende"
                      : "toon: via de PC-speaker, of anders via de geluidskaart. Met de",
              windows ? "PC-speaker-alarm uit." : "spatiebalk zet u de toon van het volgende alarm uit.",
              "",
              "Met F7 ziet u alle almanouks samen in een overzicht; nog eens",
              "F7 brengt u terug naar de eigen almanouk.",
              "",
              "Stoppen doet u met het kruisje van het venster of met Alt-F4.",
              "",
              "Er zijn twee soorten popups, in te stellen met F4: een pagina",
              windows ? "in Kladblok, of een berichtvenster. Alarmen die afgaan terwijl"
                      : "in de tekstviewer, of een berichtvenster. Alarmen die afgaan",
              windows ? "een venster of scherm open staat, komen daarna alsnog, elk"
                      : "terwijl een venster of scherm open staat, komen daarna alsnog,",
              windows ? "met hun eigen tijd." : "elk met hun eigen tijd."});
  addEmpty(lines, 2);
  addSection(lines, "Dagboek",
             {"Met F5 of Enter opent u het dagboek van de gekozen dag.",
              "Dagen waarop iets in het dagboek staat, ziet u in de maand als",
              "paarse getallen.",
              "Shift-PageUp en Shift-PageDown gaan naar de vorige of volgende",
              "dag, Ctrl-PageUp en Ctrl-PageDown naar de vorige of volgende",
              "dag waarop iets geschreven is.",
              "Invoegen (Ins) op een volle regel schuift de tekst niet door",
              "naar de volgende regel: wat er niet meer op past, valt weg.",
              "PageUp en PageDown bladeren door de pagina van de dag.",
              "Linksonder staan het regelnummer en de positie van de cursor.",
              "Alles wat u typt, wordt meteen opgeslagen; er is geen",
              "ongedaan maken.",
              "Esc brengt u terug naar de maand."});
  addEmpty(lines, 2);
  addSection(lines, "Keuzemenu",
             {"F4 opent het keuzescherm. Kies een almanouk met de pijltoetsen",
              "en de spatiebalk. Met links en rechts verandert u het aantal",
              "dagen vooruit van de almanouk onder de blauwe balk.",
              "Met 'n' maakt u een nieuwe almanouk, met 'k' kopieert u de",
              "almanouk onder de balk samen met zijn dagboek. Delete op de",
              "blauwe balk verwijdert een almanouk, na een bevestiging.",
              "Ook de soort popup en het starten van programma's zet u hier",
              "aan of uit, net als het geluid en de PC-speaker.",
              "Esc verlaat het keuzescherm; de keuzes worden dan bewaard en",
              "de gekozen almanouk wordt geladen."});
  addEmpty(lines, 4);
  lines.push_back("   Voorbeelden voor invullen van de almanouk via F2:");
  addEmpty(lines, 4);
  addIndented(lines, {"Maandelijks", "", "01 Voorbeelden. Nu alleen een notitie.",
                      "02 18:30 Elke maand popupt deze op de tijd én wordt getoond.",
                      "04 2008 12:30 Nu alleen in 2008.", "06 2008 Nu alleen een notitie in 2008.", "", "",
                      "Wekelijks", "", "Do 01:26 Elke week popupt deze op de tijd én wordt getoond.",
                      "Vr 2008 15:45 Nu alleen in 2008.", "Za 2008 Nu alleen een notitie in 2008.",
                      "Zo Nu alleen een notitie.", "", "", "Dagelijks", "",
                      "01:28 Elke dag popupt deze op de tijd en wordt niet getoond.", "", "", "Januari", "",
                      "1 Een voorbeeld.", " 2 Nog een voorbeeld (netter).", "03 Weer een voorbeeld (netst).",
                      "10 Weer een voorbeeld.", "11 2004 Voorbeeld met jaartal.", "12 # c:\\windows\\notepad.exe",
                      "13 10:25 Tijdvoorbeeld.", "20 10:30 # defrag c:",
                      "22 2008 10:30 # notepad c:\\notes\\belangrijk.txt"});
  addEmpty(lines, 5);
  lines.push_back(rule);
  lines.push_back(" Almanouk-ontwikkelaars, december 2026. Opmerkingen zijn welkom.");
  addEmpty(lines, 1);
  return lines;
}

const std::vector<std::string>& readmeLines() {
  static const std::vector<std::string> lines = readmeLinesFor(kThisSystem);
  return lines;
}

// Written at every start, but only when missing or different: an unchanged
// readme costs a read, not a write and a wait for the disk.
FileResult writeReadme(Platform& platform) {
  return replaceLinesIfChanged(platform, kReadmeFile, temporary::kReadme, readmeLines());
}

}  // namespace almanouk
