// The words of the findings: what happened, and what usually causes it.
// Latin-1, as every monitor text.
#pragma once

#include "loconet/latin1_literal.h"

#include <string_view>

namespace bl::texts::findings {

using std::string_view;

inline constexpr string_view kCause = " Häufige Ursache: "_de;

inline constexpr string_view kUnanswered = "Keine Antwort innerhalb von "_de;
inline constexpr string_view kUnansweredOn = " s auf: "_de;
inline constexpr string_view kCauseStation =
    "die Zentrale ist nicht am Bus, ausgeschaltet oder überlastet."_de;
inline constexpr string_view kCauseSwitchAck =
    "die Zentrale ist nicht am Bus oder quittiert keine Weichenbefehle."_de;
inline constexpr string_view kCauseProgrammer =
    "kein Programmiergleis angeschlossen, keine Lok darauf oder die Zentrale programmiert nicht."_de;
inline constexpr string_view kCauseDevice =
    "das angesprochene Gerät fehlt am Bus, ist ausgeschaltet oder hat eine andere Adresse."_de;

inline constexpr string_view kRefused = "Abgelehnt: "_de;
inline constexpr string_view kCauseNoSlots =
    "alle Slots der Zentrale sind belegt; Loks, die nicht mehr fahren, freigeben."_de;
inline constexpr string_view kCauseBufferFull =
    "die Zentrale nimmt gerade keine Befehle an (Befehlspuffer voll, zu viele Befehle kurz "
    "hintereinander)."_de;
inline constexpr string_view kCauseNoSuchSlot = "den Slot gibt es in dieser Zentrale nicht."_de;
inline constexpr string_view kCauseSlotState =
    "der Slot ist frei, belegt oder schon verkettet (Zustand der Slots prüfen)."_de;
inline constexpr string_view kCauseProgrammerBusy = "ein anderer Programmiervorgang läuft noch."_de;
inline constexpr string_view kCauseNotSupported =
    "die Zentrale kann diese Art der Anfrage nicht ausführen."_de;
inline constexpr string_view kCauseRefusedOther =
    "die Zentrale oder das Gerät kann die Anfrage so nicht ausführen."_de;

inline constexpr string_view kChecksum = " Meldung(en) mit falscher Prüfsumme."_de;
inline constexpr string_view kCauseChecksum =
    "Störungen auf der Busleitung (lange oder beschädigte Kabel, schlechte Stecker), ein defektes "
    "Gerät oder zwei Sender zugleich."_de;
inline constexpr string_view kDiscarded = " Byte(s) verworfen, die keine ganze Meldung ergaben."_de;
inline constexpr string_view kCauseDiscarded =
    "abgeschnittene Meldungen durch Störungen, eine falsche Übertragungsrate der Schnittstelle "
    "oder ein Gerät, das beim Einschalten Unsinn sendet."_de;

inline constexpr string_view kSensor = "Rückmelder "_de;
inline constexpr string_view kFlapping = " wechselte "_de;
inline constexpr string_view kTimesWithin = "-mal in 2 s."_de;
inline constexpr string_view kCauseFlapping =
    "ein verschmutztes Rad oder Gleis, ein Kontakt, der prellt, oder ein falsch eingestellter "
    "Besetztmelder."_de;

inline constexpr string_view kPowerOff = "Gleisspannung ausgeschaltet."_de;
inline constexpr string_view kCausePowerOff =
    "die Stopp-Taste eines Fahrreglers oder der Zentrale, ein Programm am Bus oder eine "
    "Abschaltung nach Kurzschluss."_de;
inline constexpr string_view kEmergencyStop = "Nothalt für alle Loks."_de;
inline constexpr string_view kCauseEmergencyStop =
    "die Nothalt-Taste eines Fahrreglers oder der Zentrale, oder ein Programm am Bus."_de;

inline constexpr string_view kShort = "Kurzschluss in Abschnitt "_de;
inline constexpr string_view kOfDevice = " von Gerät "_de;
inline constexpr string_view kShortCleared = " behoben."_de;
inline constexpr string_view kCauseShort =
    "ein Fahrzeug auf einer falsch gestellten Weiche, ein entgleister Radsatz, Metall auf dem "
    "Gleis oder ein Herzstück mit falscher Polarität."_de;

inline constexpr string_view kOverload = "Buslast "_de;
inline constexpr string_view kOverloadOver = " % über 2 s."_de;
inline constexpr string_view kCauseOverload =
    "zu viele Meldungen (flatternde Rückmelder, Programme, die ständig abfragen, viele "
    "Fahrregler); Befehle kommen verspätet an."_de;

inline constexpr string_view kLoco = "Lok "_de;
inline constexpr string_view kInSlots = " ist in mehreren belegten Slots: "_de;
inline constexpr string_view kCauseDoubleLoco =
    "zwei Fahrregler haben dieselbe Lok angemeldet, oder ein Slot wurde nicht freigegeben."_de;

inline constexpr string_view kNoEcho = "Eigene Meldung kam nicht vom Bus zurück: "_de;
inline constexpr string_view kCauseNoEcho =
    "die Schnittstelle ist nicht mit dem Bus verbunden, der Bus hat keine Spannung oder ist "
    "dauernd belegt."_de;

inline constexpr string_view kSwitch = "Weiche "_de;
inline constexpr string_view kCommanded = " wurde "_de;
inline constexpr string_view kCommandedWithin = "-mal in 2 s gestellt."_de;
inline constexpr string_view kCauseSwitchBurst =
    "ein Stellpult oder Programm, das den Befehl wiederholt, oder zwei Steuerungen, die sich "
    "widersprechen."_de;

} // namespace bl::texts::findings
