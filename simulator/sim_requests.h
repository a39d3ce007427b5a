#pragma once
// The control endpoint's protocol: one JSON object per line in, one JSON object per line out.
// Every request names a command ("cmd") and its arguments; every answer says "ok" and, on a
// refusal, an "error" text (and the simulator's result "code" where there is one). A request is
// checked whole before anything changes, so a malformed one changes nothing. Commands are
// carried out through the simulator's control calls (velasim.h).

#include <string>

namespace sim {

// What the connection does after sending an answer.
enum class AfterAnswer {
    kKeepOpen,   // wait for the next request
    kClose,      // the answer is the whole reply ("log")
    kFollowLog,  // stream the call log from now on ("log" with "follow")
};

struct Answer {
    std::string text;  // one or more complete lines
    AfterAnswer after = AfterAnswer::kKeepOpen;
};

// Answers one request line (without its line end).
Answer AnswerRequest(const std::string& line);

}  // namespace sim
