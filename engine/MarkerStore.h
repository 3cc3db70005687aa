#pragma once
// The duplicate markers and the claims beside them, in one folder. A marker
// is an empty file named after a number's digits: the number was sent, by
// this run or an earlier one, on this PC or another that shares the folder.
// A claim ("<digits>.claim", a name no marker can have) says that a process
// has the number in hand (platform/ClaimFile.h), so that several processes
// on one list and one folder send each number once.
//
// With the duplicate check on a number goes: Claim; then, after the send,
// Confirm (the modem took it: the claim becomes the marker), Drop (nothing
// went out: the modem refused it or could not be captured) or Leave (the
// message may have gone out: the claim stays, and no run sends the number
// again unless told to take the claim over).
//
// Paths as platform/Files.h takes them (code page 1251 on Windows). Any
// thread may call; a store holds nothing but its folder.
#include <string>

#include "platform/ClaimFile.h"

enum class ClaimOutcome {
  Claimed,        // in hand: send it, then Confirm, Drop or Leave
  Marked,         // a marker exists: a duplicate, not sent
  HeldElsewhere,  // a living process has it in hand: look again later
  Unconfirmed,    // a claim without a living holder: it may have gone out; not sent
  Failed,         // no claim can be made in the folder: not sent
};

// A number in this process's hand. Its destructor leaves the claim, as
// nothing is known of the message then.
class CNumberClaim {
 public:
  // The marker, then the claim away: a crash in between leaves a marker.
  // False when the marker cannot be written; the claim then stays, so that
  // no later run sends the number again.
  bool Confirm();
  // The claim away; false when it could not be removed (it stays, left).
  bool Drop();
  void Leave() { m_file.Leave(); }

 private:
  friend class CMarkerStore;
  platform::ClaimFile m_file;
  std::string m_marker;  // "" for a number without digits: nothing to guard
};

class CMarkerStore {
 public:
  // folder: "" for the folder "PHONES" beside the program.
  explicit CMarkerStore(const std::string& folder = std::string());

  const std::string& Folder() const { return m_folder; }

  // The one place that says which numbers are one number to the check: the
  // digits of the form the number goes out in (NumberForm: "8 912 ..." and
  // "912 ..." are 7912...), all else dropped ("" for a number without any,
  // which is never marked nor claimed).
  static std::string KeyOf(const std::string& number);
  // "" when the key is empty.
  std::string MarkerPath(const std::string& number) const;
  std::string ClaimPath(const std::string& number) const;

  bool IsMarked(const std::string& number) const;
  // Makes the marker, and the folder when missing; true when the marker
  // exists afterwards. Never for a number without digits.
  bool Mark(const std::string& number) const;

  // Takes the number in hand. takeOverAbandoned: an abandoned claim is taken
  // over and the number sent (the operator asked to resend such numbers).
  // detail: with Unconfirmed the line of the process that left the claim;
  // with Claimed after a take-over the line taken over ("" otherwise); with
  // Failed the system's reason (UTF-8).
  ClaimOutcome Claim(const std::string& number, bool takeOverAbandoned, CNumberClaim& claim,
                     std::string& detail) const;
  // An abandoned claim and no marker: a claim would give Unconfirmed.
  bool IsUnconfirmed(const std::string& number) const;

  // The stop list: a file per number in the folder "STOP" of the marker
  // folder, named by its key as the markers are, so that an operator may add
  // and remove numbers by hand. A number on it is never sent to.
  std::string StopFolder() const;
  std::string StopPath(const std::string& number) const;  // "" when the key is empty
  bool IsStopped(const std::string& number) const;
  // True when the number is on the list afterwards; false with the
  // system's reason (UTF-8).
  bool AddStop(const std::string& number, std::string& reason) const;
  bool RemoveStop(const std::string& number) const;

  // Makes the folder when missing (and its parents), then makes and removes
  // a claim in it: true when claims and markers can be written; false with
  // the system's reason (UTF-8).
  bool CheckWritable(std::string& reason) const;

 private:
  std::string PathOf(const std::string& name) const;

  std::string m_folder;
};
