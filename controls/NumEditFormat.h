#pragma once
// How a numeric edit shows its stored integer and reads typed text back into it, one rule per
// display type. Plain code without Qt so that every type can be checked as a table; the widget
// (CNumEdit) only moves texts in and out of its window.

#include <optional>
#include <string>

// The display types of a numeric edit. Pages name them by number; the names here only document
// the common ones.
enum NumEditType : int {
    NET_DELAY_MS = 0,
    NET_DELAY_CM = 1,
    NET_DELAY_INCH = 2,
    NET_CENTRED = 3,
    NET_INT = 4,
    NET_FREQ = 8,
    NET_FREQ_MAX20K = 9,
    NET_Q = 11,
    NET_GAIN_OFF = 23,
    NET_PERCENT = 33,
    NET_RATIO = 40,
    NET_TYPE_COUNT = 41,
};

// Everything the rules read besides the value itself.
struct NumEditParams {
    int min = 0;
    int max = 0;
    int type = 0;
    double scale = 0.0;
    double offset = 0.0;
    std::string unit;       // appended by some types, only tested for emptiness by others
    int temperature = 75;   // air temperature in degrees Celsius plus 50
    bool chinese = false;   // language of unit and off words
};

namespace numedit {

// "OFF" or its Chinese word.
std::string OffWord(bool chinese);
// True when the text is the off word of either language (whole text, case-sensitive).
bool IsOffWord(const std::string &text);

// Speeds of sound at the edit's temperature: c = 331 + 0.6 T and c' = 331.4 + 0.6 T (m/s).
double SoundSpeed(int temperature);
double SoundSpeedInch(int temperature);

// The value an edit keeps when it shows v: types 26, 32 and 38 limit it to the range and type 33
// to 0..100 before showing it; every other type keeps v as it is.
int StoredValue(int v, const NumEditParams &p);

// The text of value v, or nothing when the type leaves the window text unchanged (types 34 to
// 37, 39 and every type outside 0..40). The limiting types show StoredValue(v).
std::optional<std::string> Format(int v, const NumEditParams &p);

// Result of the commit at focus loss.
struct CommitResult {
    int value = 0;          // the value after the commit (the old one when unchanged)
    bool reshow = false;    // set the window text to Format(value)
    bool notify = false;    // tell the parent page
};

// The commit of typed text. Only called for text the user changed. Text that holds no number
// (and is not an off word the type knows) keeps the old value and is replaced by its text.
// Types without a rule (12, 31, 34..37, 39, 40, unknown) keep both the typed text and the value.
CommitResult Commit(const std::string &text, int value, const NumEditParams &p);

// The silent parse used when the value is read while typed text is pending: the new value, or
// nothing when the rule leaves it unchanged.
std::optional<int> ParseSilently(const std::string &text, int value, const NumEditParams &p);

}  // namespace numedit
