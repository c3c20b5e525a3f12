#pragma once
// Outcome of an update check as reported to the reader. The numbers are part of
// the agent's contract with the reader and its marker files; keep them.
enum UPDATE_CHECK_STATE {
    UPDATE_CHECK_ERRORNETWORK = 0,   // "errornetwork"
    UPDATE_CHECK_FINISHED = 1,       // "update finished"
    UPDATE_CHECK_CLOSE = 2,          // "close"
    UPDATE_CHECK_AUTOCLOSE = 3       // "autoclose"
};
