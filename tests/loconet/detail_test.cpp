// The detailed rendering, one table per family. Each table is one stretch of
// bus traffic read in order through one context, so that the rows after a
// slot's data or a request show what the context has learned. The vectors are
// written from the message layouts; the checksum is added here.
#include "loconet/bus_context.h"
#include "loconet/detail.h"
#include "loconet/latin1.h"
#include "loconet/subjects.h"
#include "support/messages.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace bl::loconet {
namespace {

struct Row {
    const char *bytes; // without the checksum
    const char *line;  // UTF-8
};

// The detailed line of each message, after the context has seen it.
class Bus {
public:
    std::string line(std::string_view hex, DetailFields *fields = nullptr) {
        last_ = messages_.next(hex);
        LineText text;
        render_detailed(last_, messages_.context(), text, fields);
        return latin1_to_utf8(text.view());
    }
    const Message &last() const { return last_; }
    const BusContext &context() const { return messages_.context(); }
    testing::MessageBus &messages() { return messages_; }

private:
    testing::MessageBus messages_;
    Message last_;
};

void expect_lines(const std::vector<Row> &rows) {
    Bus bus;
    for (const Row &row : rows)
        EXPECT_EQ(bus.line(row.bytes), row.line) << row.bytes;
}

// Every message the reference shows as an example, each on its own (no
// request seen before it), with the line reviewed against the reference's
// layout; the reference's own wording is a proposal, ours is the monitor's.
const std::vector<Row> kReferenceExamples = {
    {"A0 2F 00", "Slot 47: Halt"},
    {"81", "Zentrale beschäftigt (Füllmeldung)"},
    {"82", "Gleisspannung aus"},
    {"83", "Gleisspannung ein"},
    {"85", "Nothalt für alle Loks (Gleisspannung bleibt an)"},
    {"8A", "Lok-Reset an der Zentrale ausgelöst"},
    {"A0 05 40", "Slot 5: Fahrwert 64 von 127"},
    {"A0 05 01", "Slot 5: Nothalt"},
    {"A1 05 30", "Slot 5: rückwärts, F0=an, F1=aus, F2=aus, F3=aus, F4=aus"},
    {"A1 05 10", "Slot 5: vorwärts, F0=an, F1=aus, F2=aus, F3=aus, F4=aus"},
    {"A2 05 05", "Slot 5: F5=an, F6=aus, F7=an, F8=aus"},
    {"A3 05 0A", "Slot 5: F9=aus, F10=an, F11=aus, F12=an"},
    {"B0 13 30", "Weiche 20: gerade (grün), Ausgang ein"},
    {"B0 13 20", "Weiche 20: gerade (grün), Ausgang aus"},
    {"B0 45 03", "Weiche 454: abzweigend (rot), Ausgang aus"},
    {"B0 79 37", "Abfrage aller Rückmeldungen der Zubehördecoder (Gruppe a/c/b = 1/0/1)"},
    {"B0 78 1F", "Rundruf an alle Zubehördecoder (Ausgang 0, aktiv)"},
    {"B1 13 70", "Weichenrückmeldung 20: Eingang »Weiche« Pegel hoch (gerade gemeldet)"},
    {"B1 13 20", "Weichenrückmeldung 20: Ausgang gerade aktiv, Ausgang abzweigend inaktiv"},
    {"B2 0A 50", "Rückmelder 21: belegt (Melder 2, Eingang 5)"},
    {"B2 0A 70", "Rückmelder 22: belegt (Melder 2, Eingang 6)"},
    {"B2 0A 60", "Rückmelder 22: frei (Melder 2, Eingang 6)"},
    {"B4 3F 00", "Quittung auf Lok-Anforderung: keine freien Slots - Lok nicht angemeldet"},
    {"B5 05 33", "Slot 5: Status setzen - in Benutzung, keine Traktion, 128 Fahrstufen"},
    {"B6 05 10", "Traktionsmitglied Slot 5: F0=an, F1=aus, F2=aus, F3=aus, F4=aus"},
    {"B8 05 06", "Traktion: Slot 5 aus dem Verbund mit Slot 6 lösen"},
    {"B9 05 06", "Traktion: Slot 5 an Slot 6 anhängen"},
    {"BA 05 05", "Slot 5 in Benutzung nehmen (Null-Move)"},
    {"BA 05 00", "Slot 5 zur Übergabe (Dispatch) freigeben"},
    {"BA 00 00", "Übergabe-Slot (Dispatch) abholen"},
    {"BA 05 07", "Slotdaten von Slot 5 nach Slot 7 verschieben"},
    {"BB 05 00", "Slotdaten für Slot 5 anfordern"},
    {"BB 7B 00", "Modelluhr abfragen"},
    {"BB 05 40", "Slotdaten für Slot 5 anfordern (erweitertes Format)"},
    {"BC 13 00", "Zustand von Weiche 20 abfragen"},
    {"BD 13 30", "Weiche 20: gerade (grün), Ausgang ein - mit Quittung angefordert"},
    {"BE 00 03", "Lok 3 anfordern (erweitertes Slotformat)"},
    {"BF 00 03", "Lok 3 (kurze Adresse) anfordern"},
    {"BF 1F 5C", "Lok 4060 (lange Adresse) anfordern"},
    {"D0 20 14 7D 03",
     "Transponder: Lok 3 erkannt in Meldeabschnitt 21 (Melder 2, Zone C; als 8er-Melder: "
     "Melder 3, Abschnitt 5)"},
    {"D0 01 14 1F 5C",
     "Transponder: Lok 4060 hat Meldeabschnitt 149 verlassen (Melder 10, Zone C; als "
     "8er-Melder: Melder 19, Abschnitt 5)"},
    {"D0 40 0C 7D 03", "Lok 3 meldet: Istgeschwindigkeit 12"},
    {"D0 60 02 31 02",
     "Abschnittsmanager 3: Abschnitt 1 Kehrschleife normal; Abschnitt 2 "
     "Kurzschlussabschaltung KURZSCHLUSS; Abschnitt 3 Kurzschlussabschaltung kein "
     "Kurzschluss; Abschnitt 4 Kurzschlussabschaltung kein Kurzschluss"},
    {"D0 60 02 21 05", "Booster/Melder 3: Kurzschluss in Abschnitt 1, 3, 5"},
    {"D0 60 02 58 00", "Kehrschleifenmodul 17: umgepolt"},
    {"D0 72 04 71 0B", "Besetztmelder 5: Optionsschalter 6 auf geschlossen (1) setzen"},
    {"D0 62 04 71 0A", "Besetztmelder 5: Optionsschalter 6 abfragen"},
    {"B4 50 20", "Quittung auf Optionsschalter-Zugriff: Optionsschalter geschlossen (1) (0x20)"},
    {"D0 62 04 01 05", "Geräte-Meldung: Besetztmelder, Adresse 5, Version 5 vorhanden"},
    {"D3 10 03 00 00", "Schnittstelle: Betriebsart LocoNet-Interface mit eigener Busversorgung"},
    {"D4 20 05 08 03", "Slot 5: F13=an, F14=an, F15=aus, F16=aus, F17=aus, F18=aus, F19=aus"},
    {"D4 20 05 05 50", "Slot 5: F12=an, F20=aus, F28=an"},
    {"D4 20 05 09 41", "Slot 5: F21=an, F22=aus, F23=aus, F24=aus, F25=aus, F26=aus, F27=an"},
    {"D4 20 05 07 03", "Slot 5: F5=an, F6=an, F7=aus, F8=aus, F9=aus, F10=aus, F11=aus"},
    {"D4 38 05 60 33",
     "Slot 5: Status setzen - in Benutzung, keine Traktion, 128 Fahrstufen (erweitertes "
     "Format)"},
    {"D4 38 05 00 05", "Slot 5 in Benutzung nehmen (Null-Move) (erweitertes Format)"},
    {"D4 38 05 40 06", "Traktion: Slot 5 an Traktionsspitze Slot 6 anhängen (erweitertes Format)"},
    {"D5 08 05 11 40", "Slot 5 (Regler-ID 17): Fahrwert 64 von 127, rückwärts"},
    {"D5 10 05 11 15",
     "Slot 5 (Regler-ID 17): F0=an, F1=an, F2=aus, F3=an, F4=aus, F5=aus, F6=aus"},
    {"D5 18 05 11 21",
     "Slot 5 (Regler-ID 17): F7=an, F8=aus, F9=aus, F10=aus, F11=aus, F12=an, F13=aus"},
    {"D5 30 05 11 01",
     "Slot 5 (Regler-ID 17): F21=an, F22=aus, F23=aus, F24=aus, F25=aus, F26=aus, F27=aus, "
     "F28=an"},
    {"DF 00 00 00 00", "Abfrage aller Funk- und Infrarotempfänger"},
    {"DF 40 1F 03 00", "Empfänger: LocoNet-ID auf 3 setzen"},
    {"D7 12 00 09 00", "Funkempfänger (bidirektional) meldet sich mit LocoNet-ID 1"},
    {"E0 09 20 0F 7D 05 40 00",
     "Transponder: Lok 5 erkannt in Meldeabschnitt 16, Richtungskennung 1"},
    {"E4 08 01 40 03 00 07", "Zugnummernempfänger 3: Lok 7 (Kategorie 2), von S1 nach S2"},
    {"E4 0A 00 05 00 11 01 02 03",
     "Sicherheitselement 6: AX=2, XA=3, reserviert A->X; Weiche abzweigend (rot); belegt"},
    {"E5 10 50 51 01 00 02 03 00 00 10 01 00 00 00",
     "Systemvariablen (Format 1): Computer liest SV 3 von Modul 0x51"},
    {"E5 10 01 02 02 10 03 00 05 00 10 00 00 00 00",
     "Systemvariablen (Format 2): Quelle 1 liest SV 5 von Gerät 3"},
    {"E5 10 01 01 02 10 03 00 05 00 11 1C 00 00 00",
     "Systemvariablen (Format 2): Quelle 1 schreibt SV 5 = 156 in Gerät 3"},
    {"E5 10 01 07 02 10 00 00 00 00 10 00 00 00 00",
     "Systemvariablen (Format 2): Suche nach allen Geräten"},
    {"E5 10 7F 00 00 00 48 41 4C 4C 00 4F 20 20 20",
     "Textnachricht an alle Handregler: \"HALLO   \""},
    {"E5 10 7F 7F 7F 40 0D 02 01 03 00 04 00 00 00",
     "Firmware-Download: Start - Hersteller 13, Produkt 2, Hardware 1, Software 3, "
     "Optionen 0x04"},
    {"E5 10 7F 7F 7F 40 01 00 00 00 10 00 00 00 00", "Firmware-Download: Adresse 0x010000"},
    {"E5 10 7F 7F 7F 40 00 00 00 00 40 00 00 00 00", "Firmware-Download: Ende"},
    {"E5 14 02 10 00 11 00 00 00 00 00 00 00 00 00 00 00 00 00",
     "Funkgruppe: Funkkanal gemeldet: 17"},
    {"E5 14 07 10 00 31 32 33 34 00 00 00 00 00 00 00 00 00 00",
     "Funkgruppe: Passwort gemeldet: 1234"},
    {"E5 14 0F 08 00 00 00 00 00 00 00 01 00 00 00 00 00 00 00",
     "Geräteerkennung: alle identifizierbaren Geräte sollen sich melden"},
    {"ED 0F 01 05 00 21 71 52 04 00 00 7F 7F 00",
     "CV-Programmierung per Artikelnummer: Start für Artikel 1234, alle Module"},
    {"ED 0F 01 05 00 21 01 52 04 03 00 01 00 00",
     "CV-Programmierung per Artikelnummer: Artikel 1234, Modul 1: CV 3 lesen"},
    {"E5 0F 05 49 4B 1F 11 52 04 03 00 48 00 00", "Artikel 1234: CV 3 = 200 (Antwort des Moduls)"},
    {"ED 0F 01 05 00 20 01 52 04 03 00 0A 00 00",
     "CV-Programmierung per Artikelnummer: Artikel 1234: CV 3 = 10 schreiben"},
    {"B4 6D 7F", "Quittung auf DCC-Paket / CV-Zugriff: angenommen"},
    {"E5 0F 01 05 00 21 01 52 04 00 00 01 00 40",
     "CV-Programmierung per Artikelnummer: Ende für Artikel 1234, Modul 1"},
    {"E5 09 40 7D 03 00 00 00", "Transponder-Suche: wo ist Lok 3?"},
    {"E5 09 00 7D 03 21 40 00",
     "Transponder-Suche: Lok 3 ist in Meldeabschnitt 193 (Melder 13, Zone A)"},
    {"E5 0A 40 11 02 00 00 00 00", "Handregler-Status: OK, Regler-ID 273"},
    {"EE 10 01 03 02 00 00 13 30 45 03 7F 7F 7F 7F",
     "Fahrstraße 2 (Einträge 1-4) schreiben: Weiche 20 gerade (grün), Weiche 454 "
     "abzweigend (rot), 2 frei"},
    {"E6 15 00 05 33 03 00 47 40 00 30 01 00 00 00 00 00 00 11 00",
     "Slot 5 (erweitert): Lok 3, in Benutzung, keine Traktion, 128 Fahrstufen; Fahrstufe "
     "63 von 126 (Wert 64), rückwärts; F0=an, F1=aus, F2=aus, F3=aus, F4=aus, F5=an, "
     "F6=aus, F7=aus, F8=aus, F9=aus, F10=aus, F11=aus, F12=aus, F13=aus, F14=aus, "
     "F15=aus, F16=aus, F17=aus, F18=aus, F19=aus, F20=aus, F21=aus, F22=aus, F23=aus, "
     "F24=aus, F25=aus, F26=aus, F27=aus, F28=aus; Gleisspannung ein, Betrieb läuft, "
     "Protokoll 1.1, Programmiergleis frei; Regler-ID 17"},
    {"E7 0E 05 33 03 40 30 07 00 00 01 11 00",
     "Slot 5: Lok 3, in Benutzung, keine Traktion, 128 Fahrstufen; Fahrstufe 63 von 126 "
     "(Wert 64), rückwärts; F0=an, F1=aus, F2=aus, F3=aus, F4=aus, F5=an, F6=aus, F7=aus, "
     "F8=aus; Gleisspannung ein, Betrieb läuft, Protokoll 1.1, Programmiergleis frei; "
     "Zugkategorie 0; Regler-ID 17"},
    {"E7 0E 06 33 5C 00 00 07 00 1F 00 11 00",
     "Slot 6: Lok 4060, in Benutzung, keine Traktion, 128 Fahrstufen; Halt, vorwärts; "
     "F0=aus, F1=aus, F2=aus, F3=aus, F4=aus, F5=aus, F6=aus, F7=aus, F8=aus; "
     "Gleisspannung ein, Betrieb läuft, Protokoll 1.1, Programmiergleis frei; Zugkategorie "
     "0; Regler-ID 17"},
    {"EF 0E 01 33 03 40 30 07 00 00 01 11 00",
     "Slot 1 schreiben: Lok 3, in Benutzung, keine Traktion, 128 Fahrstufen; Fahrstufe 63 "
     "von 126 (Wert 64), rückwärts; F0=an, F1=aus, F2=aus, F3=aus, F4=aus, F5=an, F6=aus, "
     "F7=aus, F8=aus; Gleisspannung ein, Betrieb läuft, Protokoll 1.1, Programmiergleis "
     "frei; Zugkategorie 0; Regler-ID 17"},
    {"E7 0E 7B 0A 7F 7F 4F 07 76 02 40 11 00",
     "Modelluhr: 14:12 Uhr, Tag 2, Faktor 10:1, gültig; zuletzt gestellt von ID 17; "
     "Gleisspannung ein, Betrieb läuft, Protokoll 1.1, Programmiergleis frei"},
    {"EF 0E 7B 01 00 00 43 07 68 00 40 7F 7E",
     "Modelluhr stellen: 00:00 Uhr, Tag 0, Faktor 1:1 (Echtzeit), gültig; zuletzt gestellt "
     "von einem Computer; Gleisspannung ein, Betrieb läuft, Protokoll 1.1, "
     "Programmiergleis frei"},
    {"EF 0E 7C 28 00 00 00 00 00 1C 00 00 00", "Programmiergleis: CV 29 lesen (Direktmodus Byte)"},
    {"B4 6F 01", "Quittung auf Slot schreiben: angenommen"},
    {"E7 0E 7C 28 00 00 00 07 00 1C 06 00 00",
     "Programmiergleis: CV 29 = 6 (0x06, 00000110) - erfolgreich"},
    {"E7 0E 7C 28 01 00 00 07 00 1C 00 00 00",
     "Programmiergleis: CV 29 lesen - Fehler: keine Lok auf dem Programmiergleis"},
    {"EF 0E 7C 64 00 1F 5C 00 12 2B 48 00 00",
     "Hauptgleisprogrammierung Lok 4060: CV 300 = 200 schreiben (Byte, ohne Rückmeldung)"},
    {"E7 0E 7F 01 00 04 00 07 00 00 00 00 00",
     "Optionsschalter der Zentrale (1-64): geschlossen 1, 19; alle anderen offen"},
    {"ED 0B 7F 34 24 03 3F 42 00 00",
     "DCC-Paket (4× wiederholen): Lok 3, vorwärts, Fahrstufe 65 von 126"},
    {"B4 3D 7F", "Quittung auf Weichenbefehl mit Quittung: angenommen"},
    {"B4 3D 00", "Quittung auf Weichenbefehl mit Quittung: abgelehnt, Puffer voll"},
    {"B4 3C 20", "Quittung auf Weichenzustand-Abfrage: Weichenzustand gerade (0x20)"},
    {"B4 3A 00", "Quittung auf Slot verschieben: abgelehnt"},
    {"B4 39 00", "Quittung auf Traktion bilden: ungültig, abgelehnt"},
    {"B4 30 00", "Quittung auf Weichenbefehl: fehlgeschlagen"},
    {"B4 50 7F", "Quittung auf Optionsschalter-Zugriff: Optionsschalter geschrieben (0x7F)"},
    {"B4 66 00", "Quittung auf Zugriff auf erweiterten Slot: Slot im erweiterten Format nicht "
                 "unterstützt"},
    {"B4 6D 00", "Quittung auf DCC-Paket / CV-Zugriff: abgelehnt, Puffer voll"},
    {"B4 6D 01", "Quittung auf DCC-Paket / CV-Zugriff: CV nicht vorhanden oder Befehl der Zentrale "
                 "angenommen (keine Anfrage gesehen, die es entscheidet)"},
    {"B4 6D 02", "Quittung auf DCC-Paket / CV-Zugriff: CV ist schreibgeschützt"},
    {"B4 6D 03", "Quittung auf DCC-Paket / CV-Zugriff: Wert außerhalb des gültigen Bereichs"},
    {"B4 6F 00", "Quittung auf Slot schreiben: abgelehnt, Programmiergleis belegt"},
    {"B4 6F 40", "Quittung auf Slot schreiben: angenommen, keine Rückmeldung folgt"},
    {"B4 6F 7F", "Quittung auf Slot schreiben: Funktion nicht verfügbar"},
    {"ED 0B 7F 34 27 4F 5C 10 00 00",
     "DCC-Paket (4× wiederholen): Lok 4060, F0=an, F1=aus, F2=aus, F3=aus, F4=aus"},
    {"ED 0B 7F 22 22 03 25 00 00 00",
     "DCC-Paket (2× wiederholen): Lok 3, F9=an, F10=aus, F11=an, F12=aus"},
    {"ED 0B 7F 34 22 03 5E 05 00 00",
     "DCC-Paket (4× wiederholen): Lok 3, F13=an, F14=aus, F15=an, F16=aus, F17=aus, "
     "F18=aus, F19=aus, F20=aus"},
    {"ED 0B 7F 22 20 03 64 00 00 00",
     "DCC-Paket (2× wiederholen): Lok 3, vorwärts, Fahrstufe 5 von 28 (28er-Modus)"},
    {"ED 0B 7F 34 26 03 5D 0A 00 00", "DCC-Paket (4× wiederholen): Lok 3, Binärzustand 10 = an"},
    {"ED 0B 7F 54 37 4F 5C 6D 2B 48",
     "DCC-Paket (4× wiederholen): Hauptgleisprogrammierung Lok 4060: CV 300 = 200 schreiben"},
    {"ED 0B 7F 21 23 05 7F 00 00 00",
     "DCC-Paket (1× wiederholen): Zubehör: Weiche 20 (Decoder 5, Paar 3) gerade (grün), "
     "Ausgang ein"},
    {"ED 0B 7F 21 23 05 7E 00 00 00",
     "DCC-Paket (1× wiederholen): Zubehör: Weiche 20 (Decoder 5, Paar 3) abzweigend (rot), "
     "Ausgang ein"},
    {"ED 0B 7F 34 21 01 71 05 00 00",
     "DCC-Paket (4× wiederholen): Signal: Signaladresse 1 (andere Lesart 5), Begriff 5"},
    {"ED 0B 7F 54 27 05 70 6C 02 05",
     "DCC-Paket (4× wiederholen): Zubehör-Programmierung Hauptgleis: Decoder 5 (ganzer "
     "Decoder): CV 3 = 5 schreiben"},
};

TEST(Detail, EveryWorkedExampleOfTheReference) {
    for (const Row &row : kReferenceExamples) {
        Bus alone;
        EXPECT_EQ(alone.line(row.bytes), row.line) << row.bytes;
    }
}

// Speeds: in 128-step mode the DCC step with the slot's raw value; in other
// modes (and before slot data told the mode) the raw value, unscaled.
TEST(Detail, LocoMessagesNameTheLocoOnceTheSlotDataToldIt) {
    expect_lines({
        {"A0 05 62", "Slot 5: Fahrwert 98 von 127"},
        {"E7 0E 05 03 39 00 00 00 00 00 00 00 00",
         "Slot 5: Lok 57, frei, keine Traktion, 128 Fahrstufen; Halt, vorwärts; F0=aus, F1=aus, "
         "F2=aus, F3=aus, F4=aus, F5=aus, F6=aus, F7=aus, F8=aus; Gleisspannung aus, Nothalt "
         "aktiv, eingeschränkte Zentrale (Protokoll 1.0), Programmiergleis frei; Zugkategorie 0; "
         "Regler-ID 0"},
        {"A0 05 63", "Slot 5 (Lok 57): Fahrstufe 98 von 126 (Wert 99)"},
        {"A0 05 01", "Slot 5 (Lok 57): Nothalt"},
        {"A1 05 20", "Slot 5 (Lok 57): rückwärts, F0=aus, F1=aus, F2=aus, F3=aus, F4=aus"},
        {"A3 05 03", "Slot 5 (Lok 57): F9=an, F10=an, F11=aus, F12=aus"},
        {"D4 20 05 05 7F", "Slot 5 (Lok 57): F12=an, F20=an, F28=an"},
        {"D5 05 05 10 42", "Slot 645 (Regler-ID 16): Fahrwert 66 von 127, vorwärts"},
        // 28 steps: the command station scales the value, the monitor does not guess how
        {"B5 05 30",
         "Slot 5 (Lok 57): Status setzen - in Benutzung, keine Traktion, 28 Fahrstufen"},
        {"A0 05 40", "Slot 5 (Lok 57): Fahrwert 64 von 127 (28 Fahrstufen)"},
        {"E7 0E 06 32 39 10 00 07 0A 00 00 00 00",
         "Slot 6: Lok 57, in Benutzung, keine Traktion, 14 Fahrstufen; Fahrwert 16 von 127 (14 "
         "Fahrstufen), vorwärts; F0=aus, F1=aus, F2=aus, F3=aus, F4=aus, F5=aus, F6=aus, F7=aus, "
         "F8=aus; Gleisspannung ein, Betrieb läuft, Protokoll 1.1, Programmiergleis frei; "
         "Zugkategorie 1, Regler-ID ist ein Erweiterungswert; Regler-ID 0"},
    });
}

// The families that were read wrong or left something out, each with the
// message that showed it.
TEST(Detail, FieldsReadAsTheLayoutSays) {
    const std::vector<Row> rows = {
        // a high address byte of 0x7F: a short address given as an alias
        {"E7 0E 01 03 31 00 00 07 00 7F 00 20 30",
         "Slot 1: Lok 49 (Kurzadresse als Alias), frei, keine Traktion, 128 Fahrstufen; Halt, "
         "vorwärts; F0=aus, F1=aus, F2=aus, F3=aus, F4=aus, F5=aus, F6=aus, F7=aus, F8=aus; "
         "Gleisspannung ein, Betrieb läuft, Protokoll 1.1, Programmiergleis frei; Zugkategorie 0; "
         "Regler-ID 6176"},
        {"E7 0E 01 03 31 00 00 07 04 7F 00 5C 1F",
         "Slot 1: Lok 49 (Kurzadresse für Lok 4060), frei, keine Traktion, 128 Fahrstufen; Halt, "
         "vorwärts; F0=aus, F1=aus, F2=aus, F3=aus, F4=aus, F5=aus, F6=aus, F7=aus, F8=aus; "
         "Gleisspannung ein, Betrieb läuft, Protokoll 1.1, Programmiergleis frei; Zugkategorie 0, "
         "keine Regler-ID; Regler-ID 4060"},
        // accessory CVs on the main: only CDDD = 0000 is the whole decoder
        {"ED 0B 7F 54 07 00 78 64 0A 00",
         "DCC-Paket (4× wiederholen): Zubehör-Programmierung Hauptgleis: Decoder 0, Ausgang 0: CV "
         "11 = 0 prüfen"},
        // the extended form names its decoder, the output address beside it
        {"ED 0B 7F 51 0D 3F 77 6C 7F 38",
         "DCC-Paket (1× wiederholen): Zubehör-Programmierung Hauptgleis: Decoder 63, Paar 3 "
         "(Ausgangsadresse 252): CV 256 = 56 schreiben"},
        // many switches closed: runs, never a line cut short
        {"E7 0E 7F 7F 7F 7F 7F 07 7F 7F 7F 3F 00",
         "Optionsschalter der Zentrale (1-64): geschlossen 1-7, 9-15, 17-23, 25-31, 33-39, "
         "41-47, 49-55, 57-62; alle anderen offen"},
        // bit 7 of each character of a radio group's name
        {"E5 14 03 10 01 46 61 64 65 00 32 42 6C 6B 00 00 00 00 00",
         "Funkgruppe: Name der Funkgruppe gemeldet: \"Æade2Blk\", Passwort 0000, Funkkanal 0, "
         "Gruppen-ID 0"},
        {"E5 14 03 10 00 41 42 43 44 00 45 46 47 48 07 35 12 11 05",
         "Funkgruppe: Name der Funkgruppe gemeldet: \"ABCDEFGH\", Passwort B592, Funkkanal 145, "
         "Gruppen-ID 5"},
        // a reply to a command format 2 does not define is no identity
        {"E5 10 01 40 02 10 01 02 03 04 10 05 06 07 08",
         "Systemvariablen (Format 2): Antwort von Gerät 513 auf den nicht definierten Befehl 0x00: "
         "SV 1027: Daten 05 06 07 08"},
        // a device of another manufacturer: its type by number, and its add-on
        {"E5 14 0F 10 05 1B 18 00 0A 00 0B 01 02 03 00 01 02 03 04",
         "Geräteerkennung: Hersteller 5, Gerätetyp 27, Software 1.2, Seriennummer 197121 "
         "(Zusatzgerät 24 von Hersteller 0, Software 1.3, Seriennummer 67305985)"},
        {"EF 0E 7C 54 00 00 00 00 00 1C 00 00 00",
         "Hauptgleisprogrammierung Lok 0: CV 29 = 0 schreiben (unbekannter Modus, PCMD 0x54)"},
        // the older system-variable format with both upper nibbles 0
        {"E5 10 50 51 01 00 02 03 00 00 00 01 00 00 00",
         "Systemvariablen (Format 1): Computer liest SV 3 von Modul 0x51"},
        // every instruction of a packet
        {"ED 0B 7F 52 06 4B 0F 5F 08 52",
         "DCC-Paket (2× wiederholen): Lok 75, F0=aus, F1=an, F2=an, F3=an, F4=an, F21=aus, "
         "F22=aus, "
         "F23=aus, F24=an, F25=aus, F26=aus, F27=aus, F28=aus, rückwärts, Fahrstufe 2 von 28 "
         "(28er-Modus), als 14er-Modus: Fahrstufe 1, Licht an"},
        // a failed write still names the value it was to write
        {"E7 0E 7C 6B 02 00 00 07 00 1C 06 00 00",
         "Programmiergleis: CV 29 = 6 schreiben - Fehler: keine Schreibquittung vom Decoder"},
        {"BB 7D 00", "Systemslot 125 abfragen (Inhalt nicht öffentlich beschrieben)"},
        {"E7 0E 7D 00 00 00 00 00 00 00 00 00 00",
         "Daten des Systemslots 125 (Inhalt nicht öffentlich beschrieben): E7 0E 7D 00 00 00 00 00 "
         "00 00 00 00 00 6B"},
        {"E5 14 10 08 00 1A 00 00 00 00 00 00 00 00 00 00 00 00 00",
         "Funk: Rauschpegel auf Kanal 26 abfragen"},
        {"E5 14 08 10 00 01 02 03 04 0C 00 00 21 50 00 00 00 00 00",
         "Geräte-Ping: Seriennummer 67305985, Empfangsstärke beim Gerät 161, bei der Gegenstelle "
         "208"},
        {"E5 10 7F 7F 7F 40 00 00 00 00 60 00 00 00 00",
         "Firmware-Download: unbekannter Schritt 0x60"},
        {"B0 7F 7F", "Weiche 2048: gerade (grün), Ausgang ein (reserviert: Bits 0x40)"},
        {"B2 0A 10", "Rückmelder 21: belegt (Melder 2, Eingang 5) (reserviert: Steuerbit X = 0)"},
        {"ED 0B 7F 40 02 03 64 1C 06 00",
         "DCC-Paket (0× wiederholen): Hauptgleisprogrammierung Lok 3: CV 29 = 6 prüfen"},
        {"ED 0B 7F 30 02 03 72 05 00 00",
         "DCC-Paket (0× wiederholen): Hauptgleisprogrammierung Lok 3: CV 23 (Beschleunigung, "
         "Kurzform) = 5"},
        // a write without its value byte: no made-up value
        {"ED 0B 7F 30 02 03 6C 1C 06 00", "DCC-Paket (0× wiederholen): Hauptgleisprogrammierung "
                                          "Lok 3: CV 29 = 0 schreiben (Paket zu "
                                          "kurz für diesen Befehl)"},
        {"C0 10 11 12 13", "Unbekannte Meldung (Opcode 0xC0): C0 10 11 12 13 3F"},
        {"A8 01 02", "Unbekannte Meldung (reservierter Opcode 0xA8): A8 01 02 54"},
        {"E4 0F 00 00 00 39 00 00 00 00 00 00 00 00 00",
         "Zugnummern- oder Sicherheitsmeldung in unbekannter Form (Länge 16): E4 0F 00 00 00 39 00 "
         "00 00 00 00 00 00 00 00 2D"},
    };
    for (const Row &row : rows) {
        Bus alone;
        EXPECT_EQ(alone.line(row.bytes), row.line) << row.bytes;
    }
}

// A stretch of bus and which earlier row each reply answers (-1: none).
struct Exchange {
    const char *bytes;
    int answers;
    double seconds_later = 0.001;
};

void expect_answers(const std::vector<Exchange> &exchanges) {
    Bus bus;
    std::vector<std::uint64_t> seq;
    for (std::size_t i = 0; i < exchanges.size(); ++i) {
        const Exchange &e = exchanges[i];
        bus.messages().wait(e.seconds_later);
        const std::string line = bus.line(e.bytes);
        seq.push_back(bus.last().seq);
        const std::uint64_t expected = e.answers < 0 ? 0 : seq[static_cast<std::size_t>(e.answers)];
        EXPECT_EQ(bus.last().known.answers, expected) << i << ": " << e.bytes;
        // the line names the request by what it asked, never by a number
        EXPECT_EQ(line.find(" - Antwort auf: ") != std::string::npos, expected != 0) << line;
        EXPECT_EQ(line.find("Nr."), std::string::npos) << line;
    }
}

TEST(Replies, AReplyAnswersTheNewestOpenRequestAboutItsSubject) {
    // a hand throttle takes over loco 3: the second slot data answers the null move
    expect_answers({{"BF 00 03", -1},
                    {"E7 0E 05 03 03 00 00 07 00 00 00 00 00", 0},
                    {"BA 05 05", -1},
                    {"E7 0E 05 33 03 00 00 07 00 00 00 00 00", 2}});
    // a link refused: the slot data that comes later is unasked
    expect_answers(
        {{"B9 05 06", -1}, {"B4 39 00", 0}, {"E7 0E 05 33 03 00 00 07 00 00 00 00 00", -1}});
    // a read by article number is answered by the module, so the acknowledgement
    // that comes later is no answer to it
    expect_answers({{"ED 0F 01 05 00 21 01 52 04 03 00 01 00 00", -1},
                    {"E5 0F 05 49 4B 1F 11 52 04 03 00 48 00 00", 0},
                    {"B4 6D 7F", -1}});
    // ... while a write by article number is answered by the acknowledgement
    expect_answers({{"ED 0F 01 05 00 20 01 52 04 03 00 0A 00 00", -1}, {"B4 6D 7F", 0}});
    // another loco's slot data answers no request for loco 3
    expect_answers({{"BF 00 03", -1}, {"E7 0E 05 03 04 00 00 07 00 00 00 00 00", -1}});
    // too late: a reply after the time a request allows
    expect_answers({{"BB 05 00", -1}, {"E7 0E 05 03 03 00 00 07 00 00 00 00 00", -1, 1.5}});
    // the programmer's task: its acceptance and, seconds later, its final reply
    expect_answers({{"EF 0E 7C 28 00 00 00 00 00 1C 00 00 00", -1},
                    {"B4 6F 01", 0},
                    {"E7 0E 7C 28 00 00 00 07 00 1C 06 00 00", 0, 4.0}});
    // a task taken without a final reply: a later programmer slot is unasked
    expect_answers({{"EF 0E 7C 28 00 00 00 00 00 1C 00 00 00", -1},
                    {"B4 6F 40", 0},
                    {"E7 0E 7C 28 00 00 00 07 00 1C 06 00 00", -1}});
    // a question to every receiver: every one answers it
    expect_answers({{"DF 00 00 00 00", -1}, {"D7 12 00 09 00", 0}, {"D7 17 00 02 00", 0}});
    // two requests of a kind: each reply answers the one about its subject
    expect_answers({{"BB 05 00", -1},
                    {"BB 06 00", -1},
                    {"E7 0E 05 03 03 00 00 07 00 00 00 00 00", 0},
                    {"E7 0E 06 03 04 00 00 07 00 00 00 00 00", 1},
                    {"E7 0E 06 03 04 00 00 07 00 00 00 00 00", -1}});
    // a switch state and its answer; an acknowledgement of another opcode is none
    expect_answers({{"BC 13 00", -1}, {"B4 3F 00", -1}, {"B4 3C 20", 0}});
}

TEST(Replies, TheLineSaysWhatTheRequestAsked) {
    Bus bus;
    bus.line("BF 00 03");
    EXPECT_EQ(
        bus.line("B4 3F 00"),
        "Quittung auf Lok-Anforderung: keine freien Slots - Lok nicht angemeldet - Antwort auf: "
        "Lok 3 (kurze Adresse) anfordern");
    bus.line("D0 62 04 71 0A");
    EXPECT_EQ(
        bus.line("B4 50 7F"),
        "Quittung auf Optionsschalter-Zugriff: Optionsschalter geschlossen (1) (0x7F) - Antwort "
        "auf: Besetztmelder 5: Optionsschalter 6 abfragen");
    bus.line("EF 0E 7C 28 00 00 00 00 00 1C 00 00 00");
    bus.line("B4 6F 01");
    EXPECT_EQ(bus.line("E7 0E 7C 28 00 00 00 07 00 1C 06 00 00"),
              "Programmiergleis: CV 29 = 6 (0x06, 00000110) - erfolgreich - Antwort auf: "
              "Programmiergleis: CV 29 lesen (Direktmodus Byte)");
}

// What the filter matches, what the field view lists and what the line says
// are one reading: every subject of every example appears in its line, and
// the subjects are the fields of those names.
TEST(Detail, SubjectsAreTheLinesOwnNumbers) {
    std::size_t with_subjects = 0;
    for (const Row &row : kReferenceExamples) {
        Bus alone;
        DetailFields fields;
        const std::string line = alone.line(row.bytes, &fields);
        const Subjects s = subjects_of(alone.last(), alone.context());
        std::size_t named = 0;
        for (const Subjects::Kind kind :
             {Subjects::kLoco, Subjects::kSlot, Subjects::kSwitch, Subjects::kSensor}) {
            for (std::size_t i = 0; i < s.count(kind); ++i) {
                ++named;
                const std::string number = std::to_string(s.at(kind, i));
                EXPECT_NE(line.find(number), std::string::npos) << row.bytes << ": " << number;
                const bool listed = std::any_of(fields.begin(), fields.end(), [&](const auto &f) {
                    return f.has_number && f.number == s.at(kind, i) &&
                           (f.id == FieldId::Loco || f.id == FieldId::Slot ||
                            f.id == FieldId::Switch || f.id == FieldId::Sensor ||
                            f.id == FieldId::Section);
                });
                EXPECT_TRUE(listed) << row.bytes << ": " << number;
            }
        }
        with_subjects += named > 0;
    }
    EXPECT_GT(with_subjects, 60u);
    // the families the filter missed or misread: each names what its line names
    const struct {
        const char *bytes;
        Subjects::Kind kind;
        std::vector<int> values;
    } families[] = {
        {"B0 79 37", Subjects::kSwitch, {}}, // interrogate: no switch at all
        {"B0 78 1F", Subjects::kSwitch, {}}, // broadcast
        {"ED 0B 7F 21 23 05 7F 00 00 00", Subjects::kSwitch, {20}},
        {"EF 0E 7C 64 00 1F 5C 00 12 2B 48 00 00", Subjects::kLoco, {4060}},
        {"D0 40 0C 7D 03", Subjects::kLoco, {3}},
        {"D0 20 14 7D 03", Subjects::kSensor, {21}},
        {"BA 05 07", Subjects::kSlot, {5, 7}},
        {"B9 05 06", Subjects::kSlot, {5, 6}},
        {"D4 38 05 40 06", Subjects::kSlot, {5, 6}},
        {"D5 08 05 11 40", Subjects::kSlot, {5}},
        {"BB 05 01", Subjects::kSlot, {133}},
    };
    for (const auto &family : families) {
        Bus alone;
        alone.line(family.bytes);
        const Subjects s = subjects_of(alone.last(), alone.context());
        std::vector<int> got;
        for (std::size_t i = 0; i < s.count(family.kind); ++i)
            got.push_back(s.at(family.kind, i));
        EXPECT_EQ(got, family.values) << family.bytes;
    }
}

// The field list carries the numbers of the line under their names.
TEST(Detail, FieldsCarryTheLinesNumbersAndTheirBytes) {
    Bus bus;
    DetailFields fields;
    bus.line("B2 0A 50", &fields);
    std::string listed;
    for (const DetailField &f : fields)
        listed += std::string(info(f.id).name) + "=" +
                  (f.text.empty() ? std::to_string(f.number) : latin1_to_utf8(f.text)) + "@" +
                  std::to_string(f.first_byte) + "+" + std::to_string(f.byte_count) + ";";
    EXPECT_NE(listed.find("sensor=21@1+2;"), std::string::npos) << listed;
    EXPECT_NE(listed.find("state=belegt@2+1;"), std::string::npos) << listed;
    EXPECT_NE(listed.find("board=2"), std::string::npos) << listed;
    EXPECT_NE(listed.find("opcode=B2 (OPC_INPUT_REP)@0+1"), std::string::npos) << listed;
}

// Every length of every opcode with every byte value renders without
// reading past the message (run under the sanitizers in CI) and says
// something.
TEST(Detail, EveryOpcodeAndLengthRendersSomething) {
    BusContext context;
    LineText text;
    for (int opcode = 0x80; opcode <= 0xFF; ++opcode) {
        for (std::uint8_t length = 2; length <= 20; ++length) {
            for (int fill : {0x00, 0x7F, 0x55}) {
                Message m;
                m.length = length;
                m.bytes[0] = static_cast<std::uint8_t>(opcode);
                for (std::size_t i = 1; i < length; ++i)
                    m.bytes[i] = static_cast<std::uint8_t>(fill);
                if (length > 1)
                    m.bytes[1] = length;
                context.observe(m);
                text.clear();
                DetailFields fields;
                render_detailed(m, context, text, &fields);
                EXPECT_FALSE(text.view().empty()) << opcode << " " << int(length);
                EXPECT_NE(text.view().substr(0, 3), "...");
            }
        }
    }
}

} // namespace
} // namespace bl::loconet
