#pragma once

#include "HelperRequest.h"

#include <string>

namespace ovlix::arphelper {

// This PC's network cards with their IPv4 addresses, as the kernel lists them.
std::vector<Card> systemCards();

// Changes the kernel's neighbour table over rtnetlink. Each returns 0 or the
// errno that the kernel answered.
int setPermanentEntry(const SetEntry& entry);
// Removes the entry for the address from every card that has one.
int deleteEntries(const DeleteEntries& entries, const std::vector<Card>& cards);

} // namespace ovlix::arphelper
