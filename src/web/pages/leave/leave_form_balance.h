#pragma once
// The leave form's balance line: how many days the applicant has left and
// how many the dates typed take, before OK. The server writes it for the
// dates the form shows; a small script rewrites it as the dates or the type
// change, counting working days as the server does (weekends and the public
// holidays written into the page), with the same words.

#include <string>
#include <vector>

class LWebletForm;
class LKXUser;
class LKXLeaveCounting;

// The sentences for `from`..`to` (valid "YYYY-MM-DD" dates, else today),
// one per year the dates reach that has an allowance kept; empty when none
// has. `counts`: whether the chosen type counts.
std::string KXLeaveFormBalanceSentences(LKXUser& user, const std::string& from, const std::string& to, bool counts,
                                        const LKXLeaveCounting& counting);

// The row with id "leavebalance" and its script. `typeCounts[i]`: whether
// the type of pull-down item i counts; `typeId`, `fromId`, `toId`: the
// controls it reads. Writes nothing when the user has no allowance kept in
// this year or the next.
void WLWriteLeaveFormBalance(LWebletForm& form, LKXUser& user, const std::string& from, const std::string& to,
                             int typeIndex, const std::vector<bool>& typeCounts, int typeId, int fromId, int toId);
