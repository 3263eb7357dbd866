#include "ErrorStrings.h"

namespace fennec {

namespace {

// Where a text names table and register, the table comes first (6383: register first), the
// order in which the catalogue inserts them.
constexpr ErrorString kGerman[] = {
    {6097, "Dienst '%s' fehlgeschlagen.\r\n"},
    {6098, "Fehlercode: 0x%08X (%d)"},
    {6099, "Unbekannter Fehler !"},
    {6100, "Kommunikation fehlgeschlagen"},
    {6101, "Überlauf des Empfangspuffers"},
    {6102, "Überlauf beim Empfang"},
    {6103, "Paritätsfehler beim Empfang"},
    {6104, "Rahmenfehler beim Empfang"},
    {6105, "Unterbrechung (Break) empfangen"},
    {6106, "Sendepuffer ist voll"},
    {6107, "Zeitüberschreitung bei der Verbindung zum Feldbuskoppler !"},
    {6108, "Ungültiges Antworttelegramm !"},
    {6119, "Ungültige Prüfsumme !"},
    {6121,
     "Der Eingangspuffer ist übergelaufen. Entweder ist im Eingangspuffer kein Platz mehr, oder "
     "nach dem Dateiende-Zeichen (EOF) wurde noch ein Zeichen empfangen."},
    {6122, "Ein Zeichenpuffer ist übergelaufen. Das nächste Zeichen geht verloren."},
    {6123, "Die Hardware hat einen Paritätsfehler erkannt."},
    {6124, "Die Hardware hat einen Rahmenfehler erkannt."},
    {6125, "Die Hardware hat eine Unterbrechung (Break) erkannt."},
    {6126, "Die Anwendung wollte ein Zeichen senden, aber der Ausgangspuffer war voll."},
    {6127,
     "Der Feldbuskoppler (FBK) hat nicht innerhalb der vorgegebenen Zeit geantwortet.\r\n"
     "\r\n"
     "Mögliche Ursachen:\r\n"
     "- Die Spannungsversorgung des Feldbuskopplers wurde unterbrochen.\r\n"
     "- Die Verbindung zwischen Ihrem PC und dem FBK wurde unterbrochen.\r\n"
     "- Ihr PC und der FBK verwenden unterschiedliche Kommunikationseinstellungen."},
    {6128, "Ursache:\tUngültige Anzahl von Bytes in den Antwortdaten."},
    {6129, "Ungültiges STX in den Antwortdaten."},
    {6200, "Fehler der seriellen Schnittstelle"},
    {6201, "COM-Port nicht gefunden !"},
    {6202, "Zugriff verweigert !"},
    {6203, "Ungültiges Handle !"},
    {6204, "COM-Port nicht geöffnet !"},
    {6221, "Ursache:\t%s ist in Ihrem PC nicht vorhanden.\r\n\r\nAbhilfe:\tWählen Sie eine andere Schnittstelle."},
    {6222,
     "Ursache:\t%s wird bereits von einer anderen Anwendung benutzt.\r\n"
     "\r\n"
     "Abhilfe:\t- Prüfen Sie die Einstellungen der seriellen Schnittstelle oder \r\n"
     "\t- wählen Sie eine andere Schnittstelle oder \r\n"
     "\t- beenden Sie die andere Anwendung."},
    {6223, "Ursache:\tDas Geräte-Handle für %s ist ungültig."},
    {6224,
     "Ursache:\t%s ist nicht geöffnet.\r\n"
     "\r\n"
     "Abhilfe:\t- Öffnen Sie die serielle Schnittstelle erneut oder \r\n"
     "\t- wählen Sie eine andere serielle Schnittstelle."},
    {6300, "Klemmenbusfehler"},
    {6301, "Klemmenbus-Reset fehlgeschlagen !"},
    {6302, "ERROR_KB_LOOPBACK"},
    {6303, "ERROR_KB_CHECKWIRE"},
    {6304, "Kommandofehler !"},
    {6305, "Klemmenbusunterbrechung"},
    {6306, "ERROR_KB_TESTDATA"},
    {6307, "Ungültiges Prozessabbild !"},
    {6308, "Klemmentest fehlgeschlagen !"},
    {6309, "Typtest fehlgeschlagen !"},
    {6310, "ERROR_KB_TESTPTP"},
    {6311, "Ungültiges Kommando !"},
    {6312, "ERROR_KB_TEST_SELECT"},
    {6313, "ERROR_KB_TRNS_ALIGN_BITS"},
    {6314, "ERROR_KB_SIZE_AFTER_ALIGN"},
    {6315, "Schreibschutz nicht aufgehoben !"},
    {6316, "Schreibschutz nicht gesetzt !"},
    {6331, "---"},
    {6332, "---"},
    {6333, "---"},
    {6334, "Ein gültiges Kommando wurde von der Klemme an Position %d falsch bearbeitet."},
    {6335, "Klemmenbusunterbrechung nach der Klemme an Position %d."},
    {6336, "Ein Testabbild auf dem Klemmenbus wurde verändert."},
    {6337, "Ungültiges Prozessabbild der Klemme an Position %d."},
    {6338, "Der Klemmentest der Klemme an Position %d ist fehlgeschlagen."},
    {6339, "Der Typtest der Klemme an Position %d ist fehlgeschlagen."},
    {6340, "Fehler bei der Kommunikation mit der Klemme an Position %d."},
    {6341, "An die Klemme an Position %d wurde ein ungültiges Kommando gesendet."},
    {6342, "---"},
    {6343, "---"},
    {6344, "---"},
    {6345, "Der Schreibschutz einer komplexen Klemme konnte nicht aufgehoben werden."},
    {6346, "Der Schreibschutz einer komplexen Klemme konnte nicht gesetzt werden."},
    {6360, "Feldbuskopplerfehler"},
    {6361, "Ungültige Tabelle !"},
    {6362, "Ungültiges Register !"},
    {6363, "Schreibzugriff gesperrt !"},
    {6364, "Schreibfehler !"},
    {6365, "Ungültige Anzahl von Argumenten !"},
    {6366, "Der vorherige Dienst ist noch nicht beendet !"},
    {6367, "Ungültige Dienstanforderung !"},
    {6368, "Ungültiges Argument !"},
    {6369, "Dienst abgelehnt !"},
    {6370, "Ungültiger Adressbereich !"},
    {6371, "Ungültige Anzahl angeforderter Register !"},
    {6381, "Tabelle %d wird vom Feldbuskoppler nicht benutzt."},
    {6382, "Tabelle %d enthält kein Register %d."},
    {6383, "Register %d in Tabelle %d darf erst nach Aufheben des Schreibschutzes geändert werden."},
    {6384, "In Tabelle %d konnte Register %d nicht geschrieben werden."},
    {6385, "Ungültige Anzahl von Argumenten für die Funktion '%s'."},
    {6386, "Die Funktion '%s' kann nicht ausgeführt werden, solange eine andere Funktion läuft."},
    {6387, "Die Funktion '%s' wird vom angeschlossenen Feldbuskoppler nicht unterstützt."},
    {6388, "Ungültige Argumente für die Funktion '%s'."},
    {6389, "Die Funktion '%s' wurde vom Feldbuskoppler abgelehnt."},
    {6390, "Zugriff außerhalb des Tabellenbereichs.\r\nTabelle %d enthält kein Register %d."},
    {6391, "Tabelle %d enthält nicht die angeforderte Anzahl von Registern."},
    {6400, "Fehler bei der Registerkommunikation"},
    {6401, "Registerkommunikation nicht unterstützt !"},
    {6402, "Registerkommunikation fehlgeschlagen !"},
    {6403, "Zeitüberschreitung bei der Registerkommunikation."},
    {6404, "Registerkommunikation fehlgeschlagen !"},
    {6421, "Die Klemme an Position %d unterstützt keine Registerkommunikation."},
    {6422,
     "Die Registerkommunikation mit der Klemme an Position %d (Kanal %d) ist fehlgeschlagen.\r\n"
     "\r\n"
     "Mögliche Ursachen:\r\n"
     "- Ein Klemmenbusfehler ist aufgetreten.\r\n"
     "- Die Klemme ist keine Prozessorklemme.\r\n"
     "- Der angeforderte Kanal liegt außerhalb des Kanalbereichs.\r\n"
     "- Der logische Kanal existiert nicht.\r\n"
     "- Das PTB-Bit der Klemme ist nicht gesetzt.\r\n"
     "- Ungültiger Bit-Offset für die Klemme."},
    {6423, "Der PTP-Zustand hat sich über n Zyklen nicht geändert."},
    {6424, "Ungültiger PTP-Zustand."},
    {6460, "Prozessabbild wird nicht bearbeitet !"},
    {6461, "Das angeforderte Prozessabbild wird vom Feldbuskoppler nicht bearbeitet."},
    {6462, "Ungültige Länge des Prozessabbilds !"},
    {6463,
     "Der Feldbuskoppler hat nicht genügend Speicher, um das Prozessabbild aufzubauen.\n"
     "Das Prozessabbild wird vom Feldbuskoppler nicht bearbeitet."},
    {6464, "Ungültiges Prozessabbild !"},
    {6465, "Das angeforderte Prozessabbild wird vom Feldbuskoppler nicht korrekt bearbeitet."},
    {6466, "Dienst '%s' abgelehnt !"},
    {6467,
     "Der Dienst '%s' wurde vom Feldbuskoppler abgelehnt.\r\n"
     "\r\n"
     "Ursache:\r\n"
     "- Der angeschlossene Feldbus ist aktiv."},
    {6468, "Dienst '%s' abgelehnt !"},
    {6469,
     "Der Dienst '%s' wurde vom Feldbuskoppler abgelehnt.\r\n"
     "\r\n"
     "Ursache:\tEin PFC-Programm läuft.\r\n"
     "\r\n"
     "Abhilfe:\tUm die Programmbearbeitung anzuhalten, stellen Sie den \r\n"
     "\tBetriebsartenschalter von oben in die Mittelstellung."},
    {6470, "Tabelle geschützt !"},
    {6471, "Tabelle %d ist schreibgeschützt.\r\nRegister %d kann nicht geschrieben werden."},
    {6650, "Klemmenbus-Kommandofehler !"},
    {6651, "Fehler beim Übertragen der Eingangsdaten nach Klemme %d !"},
    {6652, "Fehler beim Übertragen der Ausgangsdaten nach Klemme %d !"},
    {6653, "Zeitüberschreitung auf dem Klemmenbus !"},
    {6654, "Fehler nach einem Klemmenbus-Reset !"},
    {6660, "Fehler beim Firmware-Download"},
    {6661, "Der Download wurde vom Benutzer abgebrochen !"},
    {6700, "Fehler"},
    {6701, "Ungültige Knotenkonfiguration !"},
    {6702,
     "Der Feldbuskoppler konnte die Klemmendaten nicht vom Klemmenbus lesen.\r\n"
     "\r\n"
     "Mögliche Ursachen:\r\n"
     "- Der Klemmenbus ist unterbrochen.\r\n"
     "- Die Endklemme fehlt."},
    {6703, "Dienst"},
};

}  // namespace

std::span<const ErrorString> GermanErrorStrings() { return kGerman; }

}  // namespace fennec
