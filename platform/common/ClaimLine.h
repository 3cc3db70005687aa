#pragma once
// What both claim backends share: the line a holder writes into its claim.
#include <string>

namespace platform {
namespace backend {

std::string HostName();  // "" when the system does not say

}  // namespace backend

// "<process id> <host> <local date and time with ms> #<serial>\n": who holds
// the claim, unique within the process by its serial.
std::string OwnClaimLine();

// The first line of a claim's bytes, without its line break.
std::string FirstLine(const std::string& bytes);

}  // namespace platform
