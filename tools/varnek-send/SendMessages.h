#pragma once
// Every text varnek-send says of its own (the plan, warnings, errors, notes,
// the advice at the end of a run) in English and in Russian: one row per
// message in the table of SendMessages.cpp, one code path for both.
//
// To add a message: an enumerator in Msg and, at the same place, a row in
// kMessages with the English and the Russian text; the build refuses a table
// whose rows are missing or out of order. "{1}", "{2}", ... stand for the
// arguments; a text with forms by number separates them with '|' (English:
// one|other; Russian: one|few|many) and writes the count as "{n}".
#include <cstddef>
#include <initializer_list>
#include <string>

enum class Language { English, Russian };

// The language of the user's locale (LANG, LC_MESSAGES; Windows: the user's
// interface language).
Language UserLanguage();
// Chosen once, before any thread of the run starts; English until then.
void SetLanguage(Language language);

enum class Msg {
  // The command line.
  HelpTellsMore,
  UnexpectedArgument,
  UnknownOption,
  NeedsValue,
  TakesNoValue,
  MessageTwice,
  BadValue,
  BadValueExpected,
  HintPort,
  HintBaud,
  HintPause,
  HintFrom,
  HintPiecePause,
  HintPortRetries,
  HintEncoding,
  HintMask,
  HintNumber,
  HintLang,
  HintMarkers,
  HintServiceCentre,
  HintSeconds,
  HintDuration,
  GivenTwice,
  NoNumbers,
  NoMessage,
  OneTask,
  PortTaskSendsNothing,
  DryRunWritesNothing,
  WaitWithoutReports,
  // The files read.
  ListFileWord,
  MessageFileWord,
  SettingsFileWord,
  FileCannotOpen,
  FileNotRegular,
  FileTooLarge,
  FileReadFailed,
  ReadByMark,
  ReadAsUtf8,
  NotValidEncoding,
  ChosenByMark,
  ChosenByOption,
  ChosenByDetection,
  ChosenByDeclaration,
  FileZeroByte,
  FileNotIn1251,
  TextNotUtf8,
  TextNotIn1251,
  // The settings file.
  SettingsNoDocument,
  SettingsNotWellFormed,
  SettingsNoRoot,
  SettingValueNote,
  ProblemEmpty,
  ProblemNotANumber,
  ProblemNegative,
  ProblemTooLarge,
  ValueOn,
  ValueOff,
  ValueSeconds,
  ValueOwnSpeed,
  ValueNoPort,
  // Before and during the delivery.
  MessageEmpty,
  MessageCut,
  MessageCleansToNothing,
  ListEmpty,
  FromPastEnd,
  PortTriedAgain,
  NoDeliveryThread,
  StoppingAfterNumber,
  ShuttingDown,
  InterruptCtrlC,
  InterruptHangup,
  InterruptTerminate,
  NoPortToSend,
  CannotOpenPort,
  CannotOpenPortAt,
  RetriesRanOut,
  MarkerFolderUnwritable,
  MarkerNotWritten,
  LogsNotWritable,
  // The plan.
  PlanTitle,
  LabelPort,
  LabelPorts,
  LabelDuplicates,
  LabelPause,
  LabelPiecePause,
  LabelSettings,
  LabelNumbers,
  LabelMessage,
  LabelPhoneShows,
  PortOwnSpeed,
  PortSpeed,
  DuplicatesOff,
  DuplicatesOn,
  DuplicatesOnUnconfirmed,
  UnconfirmedSentAgain,
  UnconfirmedNotSent,
  PauseFixed,
  PauseRange,
  PiecePauseNone,
  PiecePauseEvery,
  SettingsNoFile,
  SettingsRead,
  SettingsGiveNone,
  NumbersFromList,
  NumbersFromMask,
  NumbersGiven,
  NumbersInAll,
  CountDropped,
  CountMarks,
  CountLetter,
  CountCut,
  CountCannotSend,
  CountChanged,
  EncodingGsm7,
  EncodingUcs2,
  EncodingUcs2Parts,
  Parts,
  Characters,
  // The warnings of the plan.
  Warning,
  WhereLine,
  WhereMask,
  WhereNumber,
  NoteTextBeforeNumber,
  NoteNoNumber,
  NoteByteOrderMark,
  NoteLetterInNumber,
  NoteCutAtEleven,
  NoteCannotSend,
  NoteNumberChanged,
  FaultDigitCount,
  FaultPlusInside,
  ChangeDomesticEight,
  ChangeTenDigits,
  MoreNotes,
  // The end of a run.
  AdviceFrom,
  AdviceScattered,
  LeftWritten,
  LeftNone,
  LeftCannotWrite,
  // What comes back.
  ListeningForReports,
  CollectedCounts,
  ResultsIn,
  RepliesIn,
  InboxEmpty,

  Count
};

// The message in the language of the run (UTF-8), "{1}", "{2}", ... replaced
// by args (UTF-8).
std::string Say(Msg id, std::initializer_list<std::string> args = {});
// The same for a text with forms by number: the form for count, "{n}" being
// count.
std::string SayCount(Msg id, size_t count, std::initializer_list<std::string> args = {});
