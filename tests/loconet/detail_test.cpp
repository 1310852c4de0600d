// The detailed rendering, one table per family. Each table is one stretch of
// bus traffic read in order through one context, so that the rows after a
// slot's data or a request show what the context has learned. The vectors are
// written from the message layouts; the checksum is added here.
#include "loconet/bus_context.h"
#include "loconet/detail.h"
#include "shared/latin1.h"
#include "support/messages.h"

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
        const Message m = messages_.next(hex);
        LineText text;
        render_detailed(m, messages_.context(), text, fields);
        return latin1_to_utf8(text.view());
    }

private:
    testing::MessageBus messages_;
};

void expect_lines(const std::vector<Row> &rows) {
    Bus bus;
    for (const Row &row : rows)
        EXPECT_EQ(bus.line(row.bytes), row.line) << row.bytes;
}

TEST(Detail, PowerAndSlotCommands) {
    expect_lines({
        {"83", "Gleisspannung ein"},
        {"82", "Gleisspannung aus"},
        {"85", "Nothalt für alle Loks (Gleisspannung bleibt an)"},
        {"81", "Zentrale beschäftigt (Füllmeldung)"},
        {"BF 00 39", "Lok 57 (kurze Adresse) anfordern"},
        {"BF 01 39", "Lok 185 (lange Adresse) anfordern"},
        {"BA 05 05", "Slot 5 in Benutzung nehmen (Null-Move)"},
        {"BA 05 00", "Slot 5 zur Übergabe (Dispatch) freigeben"},
        {"B9 05 06", "Traktion: Slot 5 an Slot 6 anhängen"},
        {"B8 05 06", "Traktion: Slot 5 aus dem Verbund mit Slot 6 lösen"},
        {"BB 05 00", "Slotdaten für Slot 5 anfordern"},
        {"B6 05 03", "Traktionsmitglied Slot 5: F0=aus, F1=an, F2=an, F3=aus, F4=aus"},
        {"B5 05 33", "Slot 5: Status setzen - in Benutzung, keine Traktion, 128 Fahrstufen"},
    });
}

// Speeds are steps of the slot's mode with the slot's raw value: 0 halts, 1
// is the emergency stop.
TEST(Detail, LocoMessagesNameTheLocoOnceTheSlotDataToldIt) {
    expect_lines({
        {"A0 05 62", "Slot 5: Fahrstufe 97 von 126 (Wert 98)"},
        {"E7 0E 05 03 39 00 00 00 00 00 00 00 00",
         "Slot 5: Lok 57, frei, keine Traktion, 128 Fahrstufen; Halt, vorwärts; F0=aus, F1=aus, "
         "F2=aus, F3=aus, F4=aus, F5=aus, F6=aus, F7=aus, F8=aus; Gleisspannung aus, Nothalt "
         "aktiv, Programmiergleis frei; Regler-ID 0"},
        {"A0 05 63", "Slot 5 (Lok 57): Fahrstufe 98 von 126 (Wert 99)"},
        {"A0 05 01", "Slot 5 (Lok 57): Nothalt"},
        {"A0 05 00", "Slot 5 (Lok 57): Halt"},
        {"A1 05 20", "Slot 5 (Lok 57): rückwärts, F0=aus, F1=aus, F2=aus, F3=aus, F4=aus"},
        {"A1 05 11", "Slot 5 (Lok 57): vorwärts, F0=an, F1=an, F2=aus, F3=aus, F4=aus"},
        {"A2 05 0F", "Slot 5 (Lok 57): F5=an, F6=an, F7=an, F8=an"},
        {"A3 05 03", "Slot 5 (Lok 57): F9=an, F10=an, F11=aus, F12=aus"},
        {"D4 20 05 08 0F",
         "Slot 5 (Lok 57): F13=an, F14=an, F15=an, F16=an, F17=aus, F18=aus, F19=aus"},
        {"D4 20 05 09 7F",
         "Slot 5 (Lok 57): F21=an, F22=an, F23=an, F24=an, F25=an, F26=an, F27=an"},
        {"D4 20 05 05 7F", "Slot 5 (Lok 57): F12=an, F20=an, F28=an"},
        {"D4 20 05 07 00",
         "Slot 5 (Lok 57): F5=aus, F6=aus, F7=aus, F8=aus, F9=aus, F10=aus, F11=aus"},
        {"A0 06 10", "Slot 6: Fahrstufe 15 von 126 (Wert 16)"},
    });
}

TEST(Detail, SlotRequestAnswerNamesTheRequest) {
    expect_lines({
        {"BB 05 00", "Slotdaten für Slot 5 anfordern"},
        {"E7 0E 05 03 39 00 00 00 00 00 00 00 00",
         "Slot 5: Lok 57, frei, keine Traktion, 128 Fahrstufen; Halt, vorwärts; F0=aus, F1=aus, "
         "F2=aus, F3=aus, F4=aus, F5=aus, F6=aus, F7=aus, F8=aus; Gleisspannung aus, Nothalt "
         "aktiv, Programmiergleis frei; Regler-ID 0 - Antwort auf Slotdaten-Anforderung"},
    });
}

// Addresses are the ones on the handheld: 1-based.
TEST(Detail, SwitchesAndSensors) {
    expect_lines({
        {"B0 05 30", "Weiche 6: gerade (grün), Ausgang ein"},
        {"B0 05 10", "Weiche 6: abzweigend (rot), Ausgang ein"},
        {"B0 7F 7F", "Weiche 2048: gerade (grün), Ausgang ein (reserviertes Bit 6 gesetzt)"},
        {"B1 05 30", "Weichenrückmeldung 6: Ausgang gerade aktiv, Ausgang abzweigend aktiv"},
        {"B1 05 70", "Weichenrückmeldung 6: Eingang »Weiche« high"},
        {"B2 0A 50", "Rückmelder 21: belegt (Melder 2, Eingang 5)"},
        {"B2 0A 70", "Rückmelder 22: belegt (Melder 2, Eingang 6)"},
        {"BC 05 00", "Zustand von Weiche 6 abfragen"},
        {"BD 05 30", "Weiche 6: gerade (grün), Ausgang ein - mit Quittung angefordert"},
    });
}

// The code's meaning depends on the request; the request is named with its
// address where it was seen.
TEST(Detail, LongAcknowledgementsNameTheirRequest) {
    expect_lines({
        {"B4 3D 00", "Quittung auf Weichenbefehl mit Quittung: abgelehnt, Puffer voll"},
        {"BD 05 30", "Weiche 6: gerade (grün), Ausgang ein - mit Quittung angefordert"},
        {"B4 3D 7F", "Quittung auf Weichenbefehl mit Quittung (Weiche 6): angenommen"},
        {"BF 01 39", "Lok 185 (lange Adresse) anfordern"},
        {"B4 3F 00",
         "Quittung auf Lok-Anforderung (Lok 185): keine freien Slots - Lok nicht angemeldet"},
        {"B4 3F 01", "Quittung auf Lok-Anforderung (Lok 185): Code 0x01"},
        {"B4 6F 01", "Quittung auf Slot schreiben: angenommen"},
        {"B4 6F 40", "Quittung auf Slot schreiben: angenommen, keine Rückmeldung folgt"},
        {"B4 6F 00", "Quittung auf Slot schreiben: abgelehnt / Programmer belegt"},
        // the old document's spelling of the programmer's answer
        {"B4 7F 7F", "Quittung auf Slot schreiben: Funktion nicht verfügbar"},
        {"B4 6D 7F", "Quittung auf DCC-Paket / CV-Zugriff: angenommen"},
    });
}

TEST(Detail, SpecialSlotsAreWhatTheyAre) {
    expect_lines({
        {"EF 0E 7B 0A 7F 79 43 07 68 1B 01 00 00",
         "Modelluhr stellen: 00:00 Uhr, Tag 27, Faktor 10:1, ungültig (nicht übernehmen); noch nie "
         "gestellt"},
        {"E7 0E 7B 01 00 00 43 07 68 00 40 7F 7E",
         "Modelluhr: 00:00 Uhr, Tag 0, Faktor 1:1 (Echtzeit), gültig; zuletzt gestellt von einem "
         "Computer"},
        {"BB 7F 00", "Optionsschalter der Zentrale (1-64) abfragen"},
        {"E7 0E 7F 10 00 00 04 00 00 00 00 00 00",
         "Optionsschalter der Zentrale: OpSw 5 = closed, OpSw 27 = closed, alle anderen thrown"},
        {"EF 0E 7F 10 00 00 04 00 00 00 00 00 00",
         "Optionsschalter der Zentrale schreiben: OpSw 5 = closed, OpSw 27 = closed, alle anderen "
         "thrown"},
    });
}

// CV numbers are 1-based; the final reply names the task that was started.
TEST(Detail, ProgrammerTasksAndTheirFinalReplies) {
    expect_lines({
        {"EF 0E 7C 23 00 00 00 00 00 07 00 00 00", "Programmiergleis: CV 8 lesen (Page-Modus)"},
        {"B4 6F 01", "Quittung auf Slot schreiben (Slot 124): angenommen"},
        {"E7 0E 7C 23 01 00 00 00 00 07 0A 00 00",
         "Programmiergleis: CV 8 lesen - Fehler: keine Lok auf dem Programmiergleis (Auftrag: CV 8 "
         "lesen, Page-Modus)"},
        {"EF 0E 7C 6B 00 00 00 00 00 1C 06 00 00",
         "Programmiergleis: CV 29 = 6 schreiben (Direktmodus Byte)"},
        {"E7 0E 7C 6B 00 00 00 00 00 1C 06 00 00",
         "Programmiergleis: CV 29 = 6 (0x06, 00000110) geschrieben - erfolgreich (Auftrag: CV 29 = "
         "6 schreiben, Direktmodus Byte)"},
        {"E7 0E 7C 23 02 00 00 00 00 07 0A 00 00",
         "Programmiergleis: CV 8 lesen - Fehler: keine Schreibquittung vom Decoder (Auftrag: CV 29 "
         "= 6 schreiben, Direktmodus Byte)"},
        {"E7 0E 7C 23 08 00 00 00 00 07 0A 00 00",
         "Programmiergleis: CV 8 lesen - abgebrochen durch Benutzer (Auftrag: CV 29 = 6 "
         "schreiben, Direktmodus Byte)"},
        {"EF 0E 7C 64 00 00 03 00 00 02 05 00 00",
         "Hauptgleisprogrammierung Lok 3: CV 3 = 5 schreiben (Byte, ohne Rückmeldung)"},
    });
}

TEST(Detail, ExpandedSlots) {
    Bus bus;
    const std::string line =
        bus.line("E6 15 01 05 03 39 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(line.substr(0, 91), "Slot 133 (erweitert): Lok 57, frei, keine Traktion, 128 "
                                  "Fahrstufen; Halt, vorwärts; F0=aus");
    EXPECT_NE(line.find("F28=aus; Gleisspannung aus"), std::string::npos) << line;
    EXPECT_EQ(bus.line("EE 15 01 05 03 39 00 00 00 00 00 00 00 00 00 00 00 00 00 00").substr(0, 30),
              "Slot 133 (erweitert) schreiben");
}

TEST(Detail, MultiSenseAndReceivers) {
    expect_lines({
        {"D0 20 0A 00 39",
         "Transponder: Lok 57 erkannt in Meldeabschnitt 11 (Melder 1, Zone F; als 8er-Melder: "
         "Melder 2, Abschnitt 3)"},
        {"D0 00 0A 00 39",
         "Transponder: Lok 57 hat Meldeabschnitt 11 verlassen (Melder 1, Zone F; als 8er-Melder: "
         "Melder 2, Abschnitt 3)"},
        {"D0 60 00 40 11", "Kehrschleifenmodul 1: kein Kurzschluss"},
        {"D0 62 04 00 00", "Geräte-Meldung: Abschnittsmanager, Adresse 5, Version 0 vorhanden"},
        {"D3 10 01 00 00", "Schnittstelle: Betriebsart eigenständiges Programmiergleis"},
        {"DF 00 00 00 00", "Abfrage aller Funk- und Infrarotempfänger"},
        {"D7 12 00 09 20", "Funkempfänger (bidirektional) meldet sich mit LocoNet-ID 1"},
        {"E4 0A 00 00 00 39 00 00 00",
         "Sicherheitselement 1: AX=0, XA=0, reserviert in beide Richtungen; Weiche gerade (grün); "
         "belegt"},
    });
}

TEST(Detail, PeerTransfersInTheirKnownFormats) {
    expect_lines({
        {"E5 10 01 02 02 10 05 00 01 00 10 00 00 00 00",
         "Systemvariablen (Format 2): Quelle 1 liest SV 1 von Gerät 5"},
        {"E5 10 01 42 02 10 05 00 01 00 10 07 00 00 00",
         "Systemvariablen (Format 2): Antwort von Gerät 5: SV 1 = 7 - Antwort auf Nr. 1"},
        {"E5 10 01 01 02 10 05 00 02 00 10 1E 00 00 00",
         "Systemvariablen (Format 2): Quelle 1 schreibt SV 2 = 30 in Gerät 5"},
        {"E5 10 50 05 01 10 02 03 00 00 10 00 00 00 00",
         "Systemvariablen (Format 1): Computer liest SV 3 von Modul 0x05"},
        {"E5 0F 01 49 4B 20 00 68 7B 07 00 05 00 00",
         "CV-Programmierung per Artikelnummer: Artikel 31592: CV 7 = 5 schreiben"},
        {"E5 0F 01 49 4B 1F 00 68 7B 07 00 05 00 00",
         "Artikel 31592: CV 7 = 5 (Antwort des Moduls)"},
        {"E5 14 0F 08 00 00 00 00 00 00 00 01 00 00 00 00 00 00 00",
         "Geräteerkennung: alle identifizierbaren Geräte sollen sich melden"},
        {"E5 14 02 10 00 11 00 00 00 00 00 00 00 00 00 00 00 00 00",
         "Funkgruppe: Funkkanal (gemeldet): 17"},
        {"E5 14 07 10 00 31 32 33 34 00 00 00 00 00 00 00 00 00 00",
         "Funkgruppe: Passwort (gemeldet): 1234"},
        {"E5 14 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
         "Funkgruppe: 0x00 (setzen): 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
        {"E5 10 7F 7F 7F 40 0D 02 01 03 00 04 00 00 00",
         "Firmware-Download: Start - Hersteller 13, Produkt 2, Hardware 1, Software 3, Optionen "
         "0x04"},
        {"E5 07 01 02 03 04", "Zentralen-eigene Meldung: E5 07 01 02 03 04"},
    });
}

// The DCC packet is taken out of the message (its bit 7s are in DHI) and
// decoded as a decoder would.
TEST(Detail, ImmediatePacketsAreDecodedAsDccPackets) {
    expect_lines({
        {"ED 0B 7F 34 24 03 3F 42 00 00",
         "DCC-Paket (4× wiederholen): Lok 3, vorwärts, Fahrstufe 65 von 126"},
        {"ED 0B 7F 30 07 05 26 00 00 00",
         "DCC-Paket (0× wiederholen): Zubehör: Weiche 1300 (Decoder 325, Paar 3) abzweigend (rot), "
         "Ausgang aus"},
        {"ED 0B 7F 30 17 05 71 00 00 00", "DCC-Paket (0× wiederholen): Zubehör: Weiche 17 (Decoder "
                                          "5, Paar 0) gerade (grün), Ausgang aus"},
        {"ED 0B 7F 20 02 05 13 00 00 00",
         "DCC-Paket (0× wiederholen): Lok 5, F0=an, F1=an, F2=an, F3=aus, F4=aus"},
        {"ED 0B 7F 21 02 03 3F 00 00 00",
         "DCC-Paket (1× wiederholen): Lok 3, F5=an, F6=an, F7=an, F8=an"},
        {"ED 0B 7F 40 02 03 6C 1C 06 00",
         "DCC-Paket (0× wiederholen): Hauptgleisprogrammierung Lok 3: CV 29 = 6 "
         "schreiben"},
        {"ED 0B 7F 40 02 03 64 1C 06 00",
         "DCC-Paket (0× wiederholen): Hauptgleisprogrammierung Lok 3: CV prüfen 29 = 6"},
        {"ED 0B 7F 30 02 03 5E 00 00 00",
         "DCC-Paket (0× wiederholen): Lok 3, F13=aus, F14=aus, F15=aus, F16=aus, F17=aus, F18=aus, "
         "F19=aus, F20=aus"},
        {"ED 0B 7F 30 02 03 5F 41 00 00",
         "DCC-Paket (0× wiederholen): Lok 3, F21=an, F22=aus, F23=aus, F24=aus, F25=aus, F26=aus, "
         "F27=an, F28=aus"},
        {"ED 0B 7F 30 02 03 72 05 00 00",
         "DCC-Paket (0× wiederholen): Hauptgleisprogrammierung Lok 3: CV 23 (Beschleunigung, "
         "Kurzform) = 5"},
        {"ED 0B 7F 30 02 03 75 05 00 00",
         "DCC-Paket (0× wiederholen): Hauptgleisprogrammierung Lok 3: Kurzform-Befehl 5 = 5"},
        // a write without its value byte: no made-up value
        {"ED 0B 7F 30 02 03 6C 1C 06 00",
         "DCC-Paket (0× wiederholen): Hauptgleisprogrammierung Lok 3: CV 29 = 0 "
         "schreiben (Paket zu kurz für diesen Befehl)"},
    });
}

TEST(Detail, UnknownMessagesSayWhatTheyAre) {
    expect_lines({
        {"C0 10 11 12 13", "Unbekannte Meldung 0xC0: C0 10 11 12 13 3F"},
        {"E4 0F 00 00 00 39 00 00 00 00 00 00 00 00 00",
         "Unbekannte Meldung OPC_TRAIN_ID_REP: E4 0F 00 00 00 39 00 00 00 00 00 00 00 00 00 2D"},
    });
}

// The field list carries the numbers of the line under their names.
TEST(Detail, FieldsCarryTheLinesNumbers) {
    Bus bus;
    DetailFields fields;
    bus.line("B2 0A 50", &fields);
    std::string listed;
    for (const DetailField &f : fields)
        listed += latin1_to_utf8(f.name) + "=" + latin1_to_utf8(f.value) + ";";
    EXPECT_NE(listed.find("=21;"), std::string::npos) << listed;
    EXPECT_NE(listed.find("=belegt;"), std::string::npos) << listed;
    EXPECT_NE(listed.find("=2;"), std::string::npos) << listed;
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
                render_detailed(m, context, text);
                EXPECT_FALSE(text.view().empty()) << opcode << " " << int(length);
            }
        }
    }
}

} // namespace
} // namespace bl::loconet
