#include "tools/varnek-send/SendMessages.h"

#include <atomic>
#include <iterator>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Locale.h"

namespace {

struct MessageRow {
  Msg id;
  const char* english;
  const char* russian;  // code page 1251, as every literal of the program
};

constexpr MessageRow kMessages[] = {
    {Msg::HelpTellsMore, "varnek-send --help tells more.", "Подробнее: varnek-send --help."},
    {Msg::UnexpectedArgument, "unexpected argument \"{1}\"", "лишний аргумент \"{1}\""},
    {Msg::UnknownOption, "unknown option {1}", "неизвестный параметр {1}"},
    {Msg::NeedsValue, "{1} needs a value", "у {1} нет значения"},
    {Msg::TakesNoValue, "{1} takes no value", "{1} не принимает значения"},
    {Msg::MessageTwice, "give the message once, with --text or --text-file",
     "сообщение задается один раз: --text или --text-file"},
    {Msg::BadValue, "bad value for {1}: \"{2}\"", "неверное значение {1}: \"{2}\""},
    {Msg::BadValueExpected, "bad value for {1}: \"{2}\" (expected {3})",
     "неверное значение {1}: \"{2}\" (нужно: {3})"},
    {Msg::HintPort, "a port number from 1", "номер порта от 1"},
    {Msg::HintBaud, "a speed in bit/s up to {1} (0 keeps the port's speed)",
     "скорость в бит/с до {1} (0 оставляет скорость порта)"},
    {Msg::HintPause, "MIN or MIN:MAX in seconds up to {1}, with MAX not below MIN",
     "МИН или МИН:МАКС в секундах до {1}, МАКС не меньше МИН"},
    {Msg::HintFrom, "a number's place in the list, from 1", "место номера в списке, от 1"},
    {Msg::HintPiecePause, "milliseconds from 0 to {1}", "миллисекунды от 0 до {1}"},
    {Msg::HintPortRetries, "a count from 1", "число от 1"},
    {Msg::HintEncoding, "cp1251 or utf-8", "cp1251 или utf-8"},
    {Msg::HintMask, "a mask with 1 to 4 '*'", "маска с 1-4 знаками '*'"},
    {Msg::HintNumber, "a number with digits", "номер с цифрами"},
    {Msg::HintLang, "ru or en", "ru или en"},
    {Msg::HintMarkers, "a folder", "папка"},
    {Msg::HintServiceCentre, "+ and 3 to 20 digits", "+ и от 3 до 20 цифр"},
    {Msg::HintSeconds, "seconds from 1 to {1}", "секунды от 1 до {1}"},
    {Msg::HintDuration, "seconds, or minutes with m or hours with h, up to {1}h",
     "секунды, или минуты с m, или часы с h, до {1}h"},
    {Msg::GivenTwice, "{1} {2} is given twice", "{1} {2} указан дважды"},
    {Msg::NoNumbers, "no numbers: give --list FILE, --mask MASK or --number NUMBER",
     "нет номеров: укажите --list ФАЙЛ, --mask МАСКА или --number НОМЕР"},
    {Msg::NoMessage, "no message: give --text TEXT or --text-file FILE",
     "нет сообщения: укажите --text ТЕКСТ или --text-file ФАЙЛ"},
    {Msg::OneTask, "give one of --probe, --list-ports, --collect and --inbox",
     "укажите что-то одно: --probe, --list-ports, --collect или --inbox"},
    {Msg::PortTaskSendsNothing,
     "{1} sends nothing: it takes no numbers, no message, no --dry-run and no --left",
     "{1} ничего не отправляет: номера, сообщение, --dry-run и --left с ним не даются"},
    {Msg::DryRunWritesNothing, "--dry-run writes nothing: --left is for a real run",
     "--dry-run ничего не записывает: --left - для настоящей отправки"},
    {Msg::WaitWithoutReports, "--wait-reports waits for reports: it takes no --no-reports",
     "--wait-reports ждет отчетов: с --no-reports он не дается"},

    {Msg::ListFileWord, "list file", "файл списка"},
    {Msg::MessageFileWord, "message file", "файл сообщения"},
    {Msg::SettingsFileWord, "settings file", "файл настроек"},
    {Msg::FileCannotOpen, "the {1} {2} cannot be opened", "{1} {2} не открывается"},
    {Msg::FileNotRegular, "the {1} {2} is not a regular file (a folder, a FIFO or a device)",
     "{1} {2} - не обычный файл (папка, FIFO или устройство)"},
    {Msg::FileTooLarge, "the {1} {2} is larger than 64 MiB", "{1} {2} больше 64 МиБ"},
    {Msg::FileReadFailed, "the {1} {2} cannot be read", "{1} {2} не читается"},
    {Msg::ReadByMark, "the {1} {2} has a {3} byte order mark: read as {3}",
     "{1} {2} начинается с метки порядка байтов {3}: прочитан как {3}"},
    {Msg::ReadAsUtf8,
     "the {1} {2} is valid UTF-8: read as UTF-8 (--encoding cp1251 reads it as cp1251)",
     "{1} {2} записан в UTF-8: прочитан как UTF-8 (--encoding cp1251 прочтет его как cp1251)"},
    {Msg::NotValidEncoding,
     "the {1} {2} is not valid {3} ({4}): the first bad sequence is on line {5}, at byte "
     "offset {6}",
     "{1} {2} - не {3} ({4}): первая неверная последовательность в строке {5}, на смещении {6} "
     "байт"},
    {Msg::ChosenByMark, "its byte order mark says so", "так говорит его метка порядка байтов"},
    {Msg::ChosenByOption, "as --encoding asks", "как задано в --encoding"},
    {Msg::ChosenByDetection, "most of it is UTF-8; --encoding cp1251 reads it as cp1251",
     "большая часть - UTF-8; --encoding cp1251 прочтет его как cp1251"},
    {Msg::ChosenByDeclaration, "as its XML declaration says, or UTF-8 when it names none",
     "так сказано в его объявлении XML, а без него - UTF-8"},
    {Msg::FileZeroByte,
     "the {1} {2} holds a zero byte on line {3}, at byte offset {4}: a message cannot carry it",
     "{1} {2} содержит нулевой байт в строке {3}, на смещении {4} байт: в сообщении он невозможен"},
    {Msg::FileNotIn1251,
     "the {1} {2} holds {3} on line {4}, at byte offset {5}: no message of this program can "
     "carry it",
     "{1} {2} содержит {3} в строке {4}, на смещении {5} байт: сообщения программы не передают "
     "этот знак"},
    {Msg::TextNotUtf8,
     "the text of --text is not valid UTF-8 (byte offset {1}): the terminal must send UTF-8",
     "текст --text - не UTF-8 (смещение {1} байт): терминал должен передавать UTF-8"},
    {Msg::TextNotIn1251,
     "the text of --text holds {1} (byte offset {2}): no message of this program can carry it",
     "текст --text содержит {1} (смещение {2} байт): сообщения программы не передают этот знак"},

    {Msg::SettingsNoDocument,
     "no XML document can be made here to read the settings file {1}: the defaults are in force "
     "where no option is given",
     "здесь нельзя создать документ XML, чтобы прочесть файл настроек {1}: где нет параметра, "
     "действуют значения по умолчанию"},
    {Msg::SettingsNotWellFormed,
     "the settings file {1} is not well-formed XML: the defaults are in force where no option is "
     "given",
     "файл настроек {1} - не правильный XML: где нет параметра, действуют значения по умолчанию"},
    {Msg::SettingsNoRoot,
     "the settings file {1} has no \"root\" element: the defaults are in force where no option is "
     "given",
     "в файле настроек {1} нет элемента \"root\": где нет параметра, действуют значения по "
     "умолчанию"},
    {Msg::SettingValueNote, "the settings file {1}: <{2}>{3}</{2}> {4}: {5} is taken instead",
     "файл настроек {1}: <{2}>{3}</{2}> {4}: взято {5}"},
    {Msg::ProblemEmpty, "is empty", "- пусто"},
    {Msg::ProblemNotANumber, "is not understood", "- не понято"},
    {Msg::ProblemNegative, "is negative", "- отрицательное число"},
    {Msg::ProblemTooLarge, "is beyond the limit", "- больше предела"},
    {Msg::ValueOn, "{1} (on)", "{1} (вкл.)"},
    {Msg::ValueOff, "{1} (off)", "{1} (выкл.)"},
    {Msg::ValueSeconds, "{1} s", "{1} с"},
    {Msg::ValueOwnSpeed, "0 (the port keeps its speed)", "0 (скорость порта)"},
    {Msg::ValueNoPort, "0 (no port)", "0 (нет порта)"},

    {Msg::MessageEmpty, "the message is empty: nothing to send",
     "сообщение пустое: отправлять нечего"},
    {Msg::MessageCut, "the message is cut to {1} characters", "сообщение обрезано до {1} знаков"},
    {Msg::MessageCleansToNothing,
     "nothing is left of the message once the characters that no encoding carries are "
     "dropped: nothing to send",
     "от сообщения ничего не остается без знаков, которых не передает ни одна кодировка: "
     "отправлять нечего"},
    {Msg::ListEmpty, "the list holds no numbers: nothing to send",
     "в списке нет номеров: отправлять нечего"},
    {Msg::FromPastEnd, "--from {1} is past the end of the list ({2} numbers, counted from 1)",
     "--from {1} - за концом списка (номеров в нем: {2}, счет от 1)"},
    {Msg::PortTriedAgain, "{1}: tried again every 10 s (--wait-for-port)",
     "{1}: новая попытка каждые 10 с (--wait-for-port)"},
    {Msg::NoDeliveryThread, "cannot start the delivery thread",
     "не удается запустить поток отправки"},
    {Msg::StoppingAfterNumber,
     "{1}: stopping after the number in hand (Ctrl-C again to cut a pause short)",
     "{1}: остановка после текущего номера (еще одно Ctrl-C прервет паузу)"},
    {Msg::ShuttingDown, "shutting down: the modem operation in hand ends, then the program",
     "завершение: закончится текущая операция модема, затем программа"},
    {Msg::InterruptCtrlC, "Ctrl-C", "Ctrl-C"},
    {Msg::InterruptHangup, "hang-up", "обрыв связи с терминалом"},
    {Msg::InterruptTerminate, "termination request", "запрос на завершение"},
    {Msg::NoPortToSend,
     "no port to send through: give --port N or --device PATH (the settings name none)",
     "нет порта для отправки: укажите --port N или --device ПУТЬ (в настройках порта нет)"},
    {Msg::CannotOpenPort, "cannot open {1}: {2}", "не удается открыть {1}: {2}"},
    {Msg::CannotOpenPortAt, "cannot open {1} at {2} bit/s: {3}",
     "не удается открыть {1} на скорости {2} бит/с: {3}"},
    {Msg::RetriesRanOut,
     "{n} failed capture of the modem: the run ends (--port-retries {1})|"
     "{n} failed captures of the modem in a row: the run ends (--port-retries {1})",
     "{n} неудачный захват модема подряд: отправка окончена (--port-retries {1})|"
     "{n} неудачных захвата модема подряд: отправка окончена (--port-retries {1})|"
     "{n} неудачных захватов модема подряд: отправка окончена (--port-retries {1})"},
    {Msg::MarkerFolderUnwritable,
     "the duplicate check is on, but no marker can be written in {1}: {2}; nothing is sent "
     "(--markers DIR names another folder, --no-check sends without the check)",
     "проверка дублей включена, но в {1} нельзя записать отметки: {2}; ничего не отправляется "
     "(--markers ПАПКА задает другую папку, --no-check отправляет без проверки)"},
    {Msg::MarkerNotWritten,
     "the duplicate check is on, but the marker of {1} could not be written ({2}): its claim "
     "stays, so that no later run sends it again",
     "проверка дублей включена, но отметку номера {1} записать не удалось ({2}): его заявка "
     "остается, и следующий запуск его не отправит"},
    {Msg::LogsNotWritable, "the logs cannot be written in {1}: {2}",
     "журналы нельзя записать в {1}: {2}"},

    {Msg::PlanTitle, "varnek-send plan:", "varnek-send, план:"},
    {Msg::LabelPort, "port", "порт"},
    {Msg::LabelPorts, "ports", "порты"},
    {Msg::LabelDuplicates, "duplicates", "дубли"},
    {Msg::LabelPause, "pause", "пауза"},
    {Msg::LabelPiecePause, "piece pause", "пауза в PDU"},
    {Msg::LabelSettings, "settings", "настройки"},
    {Msg::LabelNumbers, "numbers", "номера"},
    {Msg::LabelMessage, "message", "сообщение"},
    {Msg::LabelPhoneShows, "the phone shows", "на телефоне"},
    {Msg::PortOwnSpeed, "the port's own speed", "скорость порта"},
    {Msg::PortSpeed, "{1} bit/s", "{1} бит/с"},
    {Msg::DuplicatesOff, "not checked", "не проверяются"},
    {Msg::DuplicatesOn, "checked, markers in {1} ({2} of these numbers marked already)",
     "проверяются, отметки в {1} (уже отмечено номеров: {2})"},
    {Msg::DuplicatesOnUnconfirmed,
     "checked, markers in {1} ({2} of these numbers marked already, {3} left unconfirmed by a "
     "run that died: {4})",
     "проверяются, отметки в {1} (уже отмечено номеров: {2}, без подтверждения от оборвавшегося "
     "запуска: {3}, {4})"},
    {Msg::UnconfirmedSentAgain, "sent again (--resend-unconfirmed)",
     "отправляются снова (--resend-unconfirmed)"},
    {Msg::UnconfirmedNotSent, "not sent without --resend-unconfirmed",
     "без --resend-unconfirmed не отправляются"},
    {Msg::PauseFixed, "{1} s after each message sent", "{1} с после каждого отправленного"},
    {Msg::PauseRange, "{1} to {2} s after each message sent",
     "от {1} до {2} с после каждого отправленного"},
    {Msg::PiecePauseNone, "none: the PDU text in one write", "нет: текст PDU одной записью"},
    {Msg::PiecePauseEvery, "{1} ms after each {2} characters of PDU text",
     "{1} мс после каждых {2} знаков текста PDU"},
    {Msg::SettingsNoFile, "none: no {1}, the defaults where no option is given",
     "нет: файла {1} нет, где нет параметра - значения по умолчанию"},
    {Msg::SettingsRead, "{1} (read, never written)", "{1} (читается, не записывается)"},
    {Msg::SettingsGiveNone, "none: {1} gives none, the defaults where no option is given",
     "нет: {1} их не дает, где нет параметра - значения по умолчанию"},
    {Msg::NumbersFromList, "{1} from the list file {2}", "{1} из файла списка {2}"},
    {Msg::NumbersFromMask, "{1} from the mask {2}", "{1} по маске {2}"},
    {Msg::NumbersGiven, "{1} given: {2}", "{1} задан: {2}"},
    {Msg::NumbersInAll, "{1} in all, sent from number {2} on", "всего {1}, отправка с номера {2}"},
    {Msg::CountDropped, "{n} line dropped|{n} lines dropped",
     "{n} строка пропущена|{n} строки пропущены|{n} строк пропущено"},
    {Msg::CountMarks, "{n} byte order mark skipped|{n} byte order marks skipped",
     "{n} метка порядка байтов пропущена|{n} метки порядка байтов пропущены|"
     "{n} меток порядка байтов пропущено"},
    {Msg::CountLetter, "{n} number ends at a letter|{n} numbers end at a letter",
     "{n} номер оборван буквой|{n} номера оборваны буквой|{n} номеров оборвано буквой"},
    {Msg::CountCut, "{n} cut at 11 digits",
     "{n} обрезан до 11 цифр|{n} обрезаны до 11 цифр|{n} обрезано до 11 цифр"},
    {Msg::CountCannotSend, "{n} cannot be sent", "{n} нельзя отправить"},
    {Msg::CountChanged, "{n} sent as 7...",
     "{n} уйдет как 7...|{n} уйдут как 7...|{n} уйдут как 7..."},
    {Msg::EncodingGsm7, "GSM 7-bit", "GSM 7 бит"},
    {Msg::EncodingUcs2, "UCS2", "UCS2"},
    {Msg::EncodingUcs2Parts, "UCS2, concatenated", "UCS2 из частей"},
    {Msg::Parts, "{n} part|{n} parts", "{n} часть|{n} части|{n} частей"},
    {Msg::Characters, "{n} character|{n} characters", "{n} знак|{n} знака|{n} знаков"},

    {Msg::Warning, "warning: {1}", "внимание: {1}"},
    {Msg::WhereLine, "{1} line {2}", "{1}, строка {2}"},
    {Msg::WhereMask, "the mask {1}", "маска {1}"},
    {Msg::WhereNumber, "--number {1}", "--number {1}"},
    {Msg::NoteTextBeforeNumber, "{1}: text before the number: the line is dropped: \"{2}\"",
     "{1}: текст перед номером, строка пропущена: \"{2}\""},
    {Msg::NoteNoNumber, "{1}: no number: the line is dropped: \"{2}\"",
     "{1}: нет номера, строка пропущена: \"{2}\""},
    {Msg::NoteByteOrderMark,
     "{1}: a byte order mark at the start of the line is skipped (two files joined?)",
     "{1}: метка порядка байтов в начале строки пропущена (склеены два файла?)"},
    {Msg::NoteLetterInNumber,
     "{1}: a letter inside the number: the number is {2}, \"{3}\" goes to the text",
     "{1}: буква внутри номера: номер {2}, \"{3}\" уходит в текст"},
    {Msg::NoteCutAtEleven, "{1}: more than 11 digits: the number is {2}, \"{3}\" goes to the text",
     "{1}: больше 11 цифр: номер {2}, \"{3}\" уходит в текст"},
    {Msg::NoteCannotSend, "number {1}, {2} ({3}): {4}: it fails before anything is sent",
     "номер {1}, {2} ({3}): {4}: ошибка еще до отправки"},
    {Msg::NoteNumberChanged, "number {1}, {2} ({3}): sent as {4}: {5}",
     "номер {1}, {2} ({3}): отправится на {4}: {5}"},
    {Msg::FaultDigitCount,
     "{n} digit, where 10 or 11 are needed|{n} digits, where 10 or 11 are needed",
     "{n} цифра, а нужно 10 или 11|{n} цифры, а нужно 10 или 11|{n} цифр, а нужно 10 или 11"},
    {Msg::FaultPlusInside, "a \"+\" inside the number", "\"+\" внутри номера"},
    {Msg::ChangeDomesticEight, "the domestic 8 becomes the country code 7",
     "внутренняя 8 заменена кодом страны 7"},
    {Msg::ChangeTenDigits, "ten digits: the country code 7 is put in front",
     "десять цифр: впереди добавлен код страны 7"},
    {Msg::MoreNotes, "{1}: {n} more line like these|{1}: {n} more lines like these",
     "{1}: еще {n} такая строка|{1}: еще {n} такие строки|{1}: еще {n} таких строк"},

    {Msg::AdviceFrom,
     "{n} number left: go on with the same command and --from {1}|"
     "{n} numbers left: go on with the same command and --from {1}",
     "остался {n} номер: продолжить той же командой с --from {1}|"
     "осталось {n} номера: продолжить той же командой с --from {1}|"
     "осталось {n} номеров: продолжить той же командой с --from {1}"},
    {Msg::AdviceScattered,
     "numbers after number {1} went out, and with the duplicate check off --from {1} would "
     "send them again: the table shows the {n} left (Принят, Ошибка порта), and --left FILE "
     "writes them as a list",
     "номера после {1} уже отправлены, и без проверки дублей --from {1} отправит их еще раз: "
     "оставшиеся ({n}) видны в таблице (Принят, Ошибка порта), а --left ФАЙЛ записывает их "
     "списком"},
    {Msg::LeftWritten,
     "the {n} number left is in {1}: go on with --list {1} in place of the list options|"
     "the {n} numbers left are in {1}: go on with --list {1} in place of the list options",
     "оставшийся {n} номер записан в {1}: продолжить с --list {1} вместо прежних номеров|"
     "оставшиеся {n} номера записаны в {1}: продолжить с --list {1} вместо прежних номеров|"
     "оставшиеся {n} номеров записаны в {1}: продолжить с --list {1} вместо прежних номеров"},
    {Msg::LeftNone, "no number is left: {1} is written empty",
     "номеров не осталось: {1} записан пустым"},
    {Msg::LeftCannotWrite, "the numbers left cannot be written to {1}",
     "оставшиеся номера не удается записать в {1}"},

    {Msg::ListeningForReports, "listening for delivery reports for {1} s (Ctrl-C ends it)",
     "ожидание отчетов о доставке {1} с (Ctrl-C прерывает)"},
    {Msg::CollectedCounts, "reports: {1}, replies: {2}, added to the stop list: {3}",
     "отчетов: {1}, ответов: {2}, добавлено в стоп-лист: {3}"},
    {Msg::ResultsIn, "the results of the run are in {1}", "итоги отправки записаны в {1}"},
    {Msg::RepliesIn, "the replies are in {1} (--inbox shows them)",
     "ответы записаны в {1} (их показывает --inbox)"},
    {Msg::InboxEmpty, "no replies yet ({1} holds none)", "ответов пока нет ({1} пуст)"},
};

static_assert(std::size(kMessages) == static_cast<size_t>(Msg::Count), "a row for every message");

constexpr bool RowsInOrder() {
  for (size_t i = 0; i < std::size(kMessages); ++i) {
    if (kMessages[i].id != static_cast<Msg>(i)) return false;
  }
  return true;
}
static_assert(RowsInOrder(), "the rows in the order of Msg");

// Set before the run's threads start; read by them (progress notes).
std::atomic<Language> g_language{Language::English};

// The form for count among texts separated by '|': English one|other;
// Russian one (1, 21, ...), few (2-4, 22-24, ...), many (the rest).
std::string FormFor(const std::string& forms, size_t count) {
  std::vector<std::string> texts;
  size_t start = 0;
  for (size_t bar = forms.find('|'); bar != std::string::npos; bar = forms.find('|', start)) {
    texts.push_back(forms.substr(start, bar - start));
    start = bar + 1;
  }
  texts.push_back(forms.substr(start));
  size_t form = count == 1 ? 0 : 1;
  if (g_language == Language::Russian) {
    const size_t tens = count % 100;
    const size_t ones = count % 10;
    form = ones == 1 && tens != 11 ? 0 : ones >= 2 && ones <= 4 && (tens < 12 || tens > 14) ? 1 : 2;
  }
  return texts[form < texts.size() ? form : texts.size() - 1];
}

// One pass over the text: "{1}".."{9}" become the arguments, "{n}" the
// count; an argument that holds such a mark stays as it is.
std::string Fill(const std::string& text, std::initializer_list<std::string> args,
                 const std::string& count = std::string()) {
  const std::vector<std::string> values(args);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool mark = text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}';
    const char key = mark ? text[i + 1] : '\0';
    if (key == 'n' && !count.empty()) {
      out += count;
    } else if (key >= '1' && key <= '9' && static_cast<size_t>(key - '1') < values.size()) {
      out += values[static_cast<size_t>(key - '1')];
    } else {
      out += text[i];
      continue;
    }
    i += 2;
  }
  return out;
}

std::string RowText(Msg id) {
  const MessageRow& row = kMessages[static_cast<size_t>(id)];
  return platform::Cp1251ToUtf8(g_language == Language::Russian ? row.russian : row.english);
}

}  // namespace

Language UserLanguage() {
  return platform::UserLanguageIsRussian() ? Language::Russian : Language::English;
}

void SetLanguage(Language language) { g_language = language; }

std::string Say(Msg id, std::initializer_list<std::string> args) { return Fill(RowText(id), args); }

std::string SayCount(Msg id, size_t count, std::initializer_list<std::string> args) {
  return Fill(FormFor(RowText(id), count), args, std::to_string(count));
}
