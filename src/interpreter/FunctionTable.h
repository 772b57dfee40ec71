// The built-in number and text functions, by ID. Four lists: number and text functions without
// arguments (operand kinds 2 and 12) and with arguments (kinds 3 and 13).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace qm {

// How a function with arguments takes them. Single: the call's argument is one operand. List: the
// argument is an ArgumentList operand. Both: either; the single form supplies only the first
// position of the shape. A function reached in a form it does not serve yields 0 or "".
enum class FunctionForm : uint8_t { None, Single, List, Both };

// Shapes use the characters of the command table ('n', 't', 'a', 'r', ...); "" for no arguments.
// '[' ']' mark optional positions (a reading aid; InStr's optional start comes first).

// X(id, Name, "shape", "meaning"), ascending by ID.
#define QM_NUM_FN0_LIST(X)                                                                        \
  X(0, ShiftDown, "", "1 if a Shift key is down now")                                             \
  X(1, Ticks, "", "tick count (1/60 s) since the computer started")                               \
  X(2, MouseX, "", "mouse x in the game window (minus 5 when WindowSize < 4)")                    \
  X(3, MouseY, "", "mouse y in the game window (minus 5 when WindowSize < 4)")                    \
  X(4, MouseDown, "", "1 if the mouse button is down now")                                        \
  X(5, WindowTop, "", "game window top (assignable)")                                             \
  X(6, WindowLeft, "", "game window left (assignable)")                                           \
  X(7, WindowWidth, "", "game window width")                                                      \
  X(8, WindowHeight, "", "game window height")                                                    \
  X(9, ScreenCount, "", "number of displays")                                                     \
  X(10, CurrentCard, "", "current card number (assignable: goes to that card)")                   \
  X(11, OptionDown, "", "1 if an Option (Alt) key is down now")                                   \
  X(12, CommandDown, "", "1 if a Command key is down now")                                        \
  X(13, ControlDown, "", "1 if a Control key is down now")                                        \
  X(14, AnySoundPlaying, "", "1 if any sound is playing")                                         \
  X(15, LastSocketID, "", "socket number of the last socket event")                               \
  X(16, LastSocketError, "", "error code of the last socket error")                               \
  X(17, PreviousCard, "", "the card shown before the current one")                                \
  X(18, PromptCancelled, "", "1 if the last input prompt was cancelled")                          \
  X(19, ClickNumber, "", "number of the last clicked click area")                                 \
  X(20, Pi, "", "3.141592653589793")                                                              \
  X(21, URLError, "", "outcome code of the last URL fetch")                                       \
  X(22, FontCount, "", "number of installed fonts")                                               \
  X(23, SpaceDown, "", "1 if the space bar is down now")                                          \
  X(24, UpArrowDown, "", "1 if the up-arrow key is down now")                                     \
  X(25, DownArrowDown, "", "1 if the down-arrow key is down now")                                 \
  X(26, LeftArrowDown, "", "1 if the left-arrow key is down now")                                 \
  X(27, RightArrowDown, "", "1 if the right-arrow key is down now")                               \
  X(28, TabDown, "", "1 if the Tab key is down now")

// X(id, Name, Form, "shape", "meaning"), ascending by ID.
#define QM_NUM_FN_LIST(X)                                                                         \
  X(0, Round, Single, "n", "nearest integer, halves away from zero")                              \
  X(1, Random, Single, "n", "ceil(r * n), r uniform in [0, 1)")                                   \
  X(2, SoundPlaying, Single, "t", "1 if the sound of that name is playing")                       \
  X(3, Sqrt, Single, "n", "square root")                                                          \
  X(4, Sin, Single, "n", "sine (radians)")                                                        \
  X(5, ScreenDepth, Single, "n", "colour depth of display k (from 1)")                            \
  X(6, SpriteExists, Single, "n", "1 if sprite n exists (no report)")                             \
  X(7, SpriteWidth, Single, "n", "width of sprite n's prepared picture")                          \
  X(8, SpriteHeight, Single, "n", "height of sprite n's prepared picture")                        \
  X(9, SpriteXScale, Single, "n", "sprite n's horizontal scale")                                  \
  X(10, SpriteXRepeat, Single, "n", "sprite n's horizontal tiles")                                \
  X(11, SpriteYRepeat, Single, "n", "sprite n's vertical tiles")                                  \
  X(12, SpriteYScale, Single, "n", "sprite n's vertical scale")                                   \
  X(13, SpriteX, Single, "n", "sprite n's x (assignable)")                                        \
  X(14, SpriteY, Single, "n", "sprite n's y (assignable)")                                        \
  X(15, SpriteFade, Single, "n", "sprite n's fade")                                               \
  X(16, SpritesOverlap, List, "nn", "1 if the two sprites' rectangles overlap")                   \
  X(17, SpriteContains, List, "nnn", "1 if point x, y lies strictly inside sprite n")             \
  X(18, Val, Single, "t", "the number at the start of the text, else 0")                          \
  X(19, AskNumber, Both, "t[n]", "prompt for a number [answer at most limit characters]")         \
  X(20, Pow, List, "nn", "x to the power y")                                                      \
  X(21, Max, List, "nn", "the larger")                                                            \
  X(22, Min, List, "nn", "the smaller")                                                           \
  X(23, IntMod, List, "nn", "remainder of 32-bit truncated division (0 when y truncates to 0)")   \
  X(24, Abs, Single, "n", "absolute value")                                                       \
  X(25, Asc, Single, "t", "code of the first character")                                          \
  X(26, Cos, Single, "n", "cosine (radians)")                                                     \
  X(27, Ceil, Single, "n", "smallest integer not below")                                          \
  X(28, NumberArrayCount, Single, "r", "element count of number array (raw index)")               \
  X(29, CountFields, List, "tt", "number of fields of text split at separator")                   \
  X(30, FileExists, Single, "t", "1 if the path names an existing item")                          \
  X(31, FileLength, Single, "t", "length of the file in bytes")                                   \
  X(32, Floor, Single, "n", "largest integer not above")                                          \
  X(33, StringArrayCount, Single, "r", "element count of text array (raw index)")                 \
  X(34, Tan, Single, "n", "tangent (radians)")                                                    \
  X(35, Len, Single, "t", "number of characters")                                                 \
  X(36, InStr, List, "[n]tt", "1-based position of find in source [from start], case ignored")    \
  X(37, SpriteXScale2, Single, "n", "sprite n's horizontal scale (as SpriteXScale)")              \
  X(38, SocketConnected, Single, "n", "1 if socket s is connected")                               \
  X(39, SocketExists, Single, "n", "1 if socket s exists")                                        \
  X(40, TextWidth, List, "ttn", "pixel width of text in font, size")                              \
  X(41, AskChoice, List, "tr[n]", "choice prompt over text array (raw index) [default]")          \
  X(42, SpriteOpacityAt, List, "nnn", "opacity 0..100 of sprite n's mask at x, y")                \
  X(43, ASin, Single, "n", "arc sine (radians)")                                                  \
  X(44, ACos, Single, "n", "arc cosine (radians)")                                                \
  X(45, ATan, Single, "n", "arc tangent (radians)")

// X(id, Name, "shape", "meaning"), ascending by ID.
#define QM_STR_FN0_LIST(X)                                                                        \
  X(0, WindowTitle, "", "game window title (assignable)")                                         \
  X(1, LongDate, "", "today's date, long format")                                                 \
  X(2, ShortDate, "", "today's date, short format")                                               \
  X(3, LongTime, "", "the time with seconds")                                                     \
  X(4, ShortTime, "", "the time, short format")                                                   \
  X(5, SystemFolder, "", "system folder path, ending in /")                                       \
  X(6, PreferencesFolder, "", "preferences folder path, ending in /")                             \
  X(7, UpArrowChar, "", "the character with code 30")                                             \
  X(8, DownArrowChar, "", "the character with code 31")                                           \
  X(9, LeftArrowChar, "", "the character with code 28")                                           \
  X(10, RightArrowChar, "", "the character with code 29")                                         \
  X(11, EscapeChar, "", "the character with code 27")                                             \
  X(12, LastSocketCommand, "", "identifier of the last command received on a socket")             \
  X(13, LastSocketData, "", "data of the last command received on a socket")                      \
  X(14, LastKeyDown, "", "key of the last key-down event")                                        \
  X(15, LastInput, "", "the text last typed into the text field")                                 \
  X(16, TemporaryFolder, "", "temporary folder path, ending in /")                                \
  X(17, LastKeyUp, "", "key of the last key-up event")

// X(id, Name, Form, "shape", "meaning"), ascending by ID.
#define QM_STR_FN_LIST(X)                                                                         \
  X(0, Str, Single, "n", "the number as text (GoodStr)")                                          \
  X(1, Chr, Single, "n", "the character with that code")                                          \
  X(2, ListenSocket, List, "nn", "socket s listens on port p; its local address")                 \
  X(3, Mid, List, "tn[n]", "part of text from start [length characters]")                         \
  X(4, Lowercase, Single, "t", "in lower case")                                                   \
  X(5, Uppercase, Single, "t", "in upper case")                                                   \
  X(6, Titlecase, Single, "t", "each word capitalised")                                           \
  X(7, Trim, Single, "t", "without leading and trailing white space")                             \
  X(8, LTrim, Single, "t", "without leading white space")                                         \
  X(9, RTrim, Single, "t", "without trailing white space")                                        \
  X(10, AskText, Both, "t[n]", "prompt for a text [answer at most limit characters]")             \
  X(11, NthField, List, "ttn", "field n of text split at separator")                              \
  X(12, Replace, List, "ttt", "first occurrence of find replaced")                                \
  X(13, ReplaceAll, List, "ttt", "every occurrence of find replaced")                             \
  X(14, FontName, Single, "n", "name of installed font k (from 1)")                               \
  X(15, ReadLine, Single, "n", "next line of input file f")                                       \
  X(16, ChooseFileToOpen, Single, "t", "path chosen in the open dialog, filtered by type")        \
  X(17, ChooseFileToSave, Single, "t", "path chosen in the save dialog, default name")            \
  X(18, FileType, Single, "t", "four-character type code of the file")                            \
  X(19, FileCreator, Single, "t", "four-character creator code of the file")                      \
  X(20, ReadBytes, List, "nn", "next c bytes of input file f")                                    \
  X(21, OpenSocketGroup, List, "nnn[n]", "listen for sockets a..b on port p [direct]; address")   \
  X(22, FetchURL, Both, "t[n]", "body fetched from URL [time limit, 10 s default]")               \
  X(23, JoinArray, Both, "a[t]", "elements joined by a space [or by separator]")

struct FunctionInfo {
  uint16_t id;
  const char* name;
  FunctionForm form;
  const char* shape;
  const char* meaning;
};

#define QM_FN0_ENUM(id, name, shape, meaning) name = id,
#define QM_FN_ENUM(id, name, form, shape, meaning) name = id,
enum class NumFn0 : uint16_t { QM_NUM_FN0_LIST(QM_FN0_ENUM) };
enum class NumFn : uint16_t { QM_NUM_FN_LIST(QM_FN_ENUM) };
enum class StrFn0 : uint16_t { QM_STR_FN0_LIST(QM_FN0_ENUM) };
enum class StrFn : uint16_t { QM_STR_FN_LIST(QM_FN_ENUM) };
#undef QM_FN0_ENUM
#undef QM_FN_ENUM

// nullptr for an ID that is not listed. withParams picks the list with arguments.
const FunctionInfo* findNumFunction(uint32_t id, bool withParams);
const FunctionInfo* findStrFunction(uint32_t id, bool withParams);
// Exact, case-sensitive match on the name.
const FunctionInfo* findNumFunctionByName(std::string_view name, bool withParams);
const FunctionInfo* findStrFunctionByName(std::string_view name, bool withParams);

// True when the function serves a call in this form (argument is an ArgumentList or not).
constexpr bool servesForm(const FunctionInfo& info, bool argumentList) {
  return info.form == FunctionForm::Both ||
         info.form == (argumentList ? FunctionForm::List : FunctionForm::Single);
}

std::span<const FunctionInfo> numFunctionsNoParams();
std::span<const FunctionInfo> numFunctionsWithParams();
std::span<const FunctionInfo> strFunctionsNoParams();
std::span<const FunctionInfo> strFunctionsWithParams();

}  // namespace qm
