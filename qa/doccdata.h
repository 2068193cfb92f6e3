#pragma once

// One entry of a dated message history (a question's or answer's status history, or a member's
// mail history). Only the mark of a sent mail is kept so far; the record store fills in the rest.
struct DocCdataCase {
    bool IsSend = false;
};
