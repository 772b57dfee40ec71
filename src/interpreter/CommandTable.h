// The one list of command codes. Everything that needs to know about commands (the enum, the
// dispatcher's start-up check, the disassembler, the trace) is generated from QM_COMMAND_LIST.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace qm {

// Codes from here on are calls of user method (code - kFirstMethodCode).
constexpr uint16_t kFirstMethodCode = 121;

// The handler family a code is routed to by ExecuteScript.
//   Nop               code 0, does nothing
//   SetNumberVariable fast path: raw number variable = number
//   SetString         NewSetStringVariable
//   SetNumber         NewSetVariable
//   Return            RETURN, run by ExecuteScript itself
//   Array             Execute_ArrayCommands
//   Flow              Execute_6to25
//   File              Execute_28to48
//   Socket            Execute_SocketCommands
//   Sprite            Execute_SpriteCommands
//   Movie             Execute_MovieCommands
//   Misc              Execute_MiscCommands
//   Draw              Execute_DrawCommands (gets the drawing context)
//   For               Execute_FORStatement
//   Select, If        run by ExecuteScript itself
enum class HandlerGroup : uint8_t {
  Nop,
  SetNumberVariable,
  SetString,
  SetNumber,
  Return,
  Array,
  Flow,
  File,
  Socket,
  Sprite,
  Movie,
  Misc,
  Draw,
  For,
  Select,
  If
};

// Shape: one character per parameter-list position, saying how the handler reads it.
//   'n' number operand (NewMath)          't' text operand (NewProcessString)
//   'x' operand whose kind decides        '@' assignment target
//   'a' whole-array operand (kind 17 = number array, else text array; ParamValue = array)
//   'v' raw NumberVariables index         's' raw script index
//   'r' any other raw value (array index, operator, kind code, flag)
// '[' ']' mark optional trailing positions (only a reading aid: the exact counts that a command
// tests are in its meaning). A final "(...)" group repeats for all remaining positions.
//
// X(code, Name, Group, "shape", "meaning"), ascending by code. Codes 1, 83, 84, 87, 89, 92, 93
// and 94 have no command (ExecuteScript treats them as a method call with a negative index).
#define QM_COMMAND_LIST(X)                                                                        \
  X(0, Nop, Nop, "", "no operation")                                                              \
  X(2, SetString, SetString, "@t", "assign text T1 to target 0")                                  \
  X(3, SetNumber, SetNumber, "@n", "assign number N1 to target 0")                                \
  X(4, DimNumberArray, Array, "rn", "number array 0 becomes N1 zeros")                            \
  X(5, AppendNumber, Array, "rn", "append N1 to number array 0")                                  \
  X(6, ShowAbout, Flow, "", "show the about window")                                              \
  X(7, Speak, Flow, "t", "speak T0")                                                              \
  X(8, ClearText, Flow, "", "empty the game text field")                                          \
  X(9, Wait, Flow, "n", "wait N0 ticks")                                                          \
  X(10, Quit, Flow, "", "end the game (CloseUpGame)")                                             \
  X(11, Note, Flow, "t[t]", "note dialog T0; explanation T1 when exactly two parameters")         \
  X(12, Caution, Flow, "t[t]", "caution dialog T0; explanation T1 when exactly two parameters")   \
  X(13, MoveWindow, Flow, "nn", "move the game window to left N0, top N1")                        \
  X(14, PrintText, Flow, "[t[r]]",                                                                \
    "print a line ending, T0 and a line ending, or T0 alone when a second position exists")       \
  X(15, PlaySoundCmd, Flow, "t", "play sound T0")                                                 \
  X(16, LoopSoundCmd, Flow, "t", "loop sound T0")                                                 \
  X(17, Launch, Flow, "t", "open file T0 with its default application")                           \
  X(18, StopSoundCmd, Flow, "[t]", "stop sound T0, or every sound when none is given")            \
  X(19, Select, Select, "xr(xs)",                                                                 \
    "SELECT on 0 (kind 1 text, 0 number): case value, script pairs; even bound ends in default")  \
  X(20, GoCard, Flow, "n", "go to card N0")                                                       \
  X(21, OpenInput, Flow, "", "let the player type after the text field's text")                   \
  X(22, OpenURL, Flow, "t", "open web address T0 in the browser")                                 \
  X(23, ClearVariables, Flow, "", "reset every variable and empty every array")                   \
  X(24, ShowTextWindow, Flow, "tt[nn]", "text window: title T0, text T1 [width N2, height N3]")   \
  X(25, SetTitle, Flow, "t", "game window title becomes T0")                                      \
  X(26, TextColor, Misc, "nnn", "print colour becomes red N0, green N1, blue N2")                 \
  X(27, TextFont, Misc, "t", "print font becomes T0")                                             \
  X(28, TextSize, File, "n", "print size becomes N0")                                             \
  X(29, TextBold, File, "n", "print bold when N0 = 1")                                            \
  X(30, TextStyle30, File, "n", "move the caret to the end and evaluate N0; nothing else")        \
  X(31, TextItalic, File, "n", "print italic when N0 = 1")                                        \
  X(32, TextUnderline, File, "n", "print underlined when N0 = 1")                                 \
  X(33, ButtonVisible, File, "nn", "button N0 shown when N1 = 1")                                 \
  X(34, ButtonEnabled, File, "nn", "button N0 enabled when N1 = 1")                               \
  X(35, ButtonPush, File, "n", "press button N0 now")                                             \
  X(36, ButtonCaption, File, "nt", "button N0 caption becomes T1")                                \
  X(37, ButtonBold, File, "nn", "button N0 caption bold when N1 = 1")                             \
  X(38, ButtonItalic, File, "nn", "button N0 caption italic when N1 = 1")                         \
  X(39, ButtonUnderline, File, "nn", "button N0 caption underlined when N1 = 1")                  \
  X(40, OpenOutputFile, File, "nt", "create file T1 as output file N0")                           \
  X(41, WriteLine, File, "nt", "write T1 and a carriage return to output file N0")                \
  X(42, WriteText, File, "nt", "write T1 to output file N0")                                      \
  X(43, CloseOutputFile, File, "n", "close output file N0")                                       \
  X(44, OpenInputFile, File, "nt", "open file T1 as input file N0")                               \
  X(45, CloseInputFile, File, "n", "close input file N0")                                         \
  X(46, DeleteFile, File, "t", "delete file T0")                                                  \
  X(47, SetFileType, File, "tt", "file T0 gets type code T1")                                     \
  X(48, SetFileCreator, File, "tt", "file T0 gets creator code T1")                               \
  X(49, Return, Return, "[x]", "leave the script; returns operand 0 when it is the only one")     \
  X(50, SocketCreate, Socket, "n[n]", "new socket N0; direct when exactly two and N1 = 1")        \
  X(51, SocketConnectCmd, Socket, "ntn", "connect socket N0 to host T1, port N2")                 \
  X(52, SocketSendCommand, Socket, "ntt", "send command T1 with data T2 on socket N0")            \
  X(53, SocketClose, Socket, "n", "close socket N0, keeping its number")                          \
  X(54, SocketFree, Socket, "n", "close socket N0 and free its number")                           \
  X(55, SpriteCreate, Sprite, "nt[nnnn]",                                                         \
    "sprite N0 from library sprite T1; cut-out N2..N5 when exactly six")                          \
  X(56, SpriteReplace, Sprite, "nt[n[nnn[n]]]",                                                   \
    "sprite N0 gets library sprite T1; three: flag N2; six: cut N2..N5; seven: cut, flag N6")     \
  X(57, SpriteMoveTo, Sprite, "nnn[n]", "move sprite N0 to N1, N2 [no-repaint flag]")             \
  X(58, SpriteMoveBy, Sprite, "nnn[n]", "move sprite N0 by N1, N2 [no-repaint flag]")             \
  X(59, SpriteSetFade, Sprite, "nn[n]", "sprite N0 fade becomes N1 [no-repaint flag]")            \
  X(60, SpriteSetTilesX, Sprite, "nn[n]", "sprite N0 horizontal tiles N1 [no-repaint flag]")      \
  X(61, SpriteSetTilesY, Sprite, "nn[n]", "sprite N0 vertical tiles N1 [no-repaint flag]")        \
  X(62, SpriteSetScaleX, Sprite, "nn[n]", "sprite N0 horizontal scale N1 % [no-repaint flag]")    \
  X(63, SpriteSetScaleY, Sprite, "nn[n]", "sprite N0 vertical scale N1 % [no-repaint flag]")      \
  X(64, SpriteSetScale, Sprite, "nn[n]", "sprite N0 scale N1 % both ways [no-repaint flag]")      \
  X(65, SpriteSetFlipX, Sprite, "nn[n]", "sprite N0 mirrored left-right when N1 = 1 [flag]")      \
  X(66, SpriteSetFlipY, Sprite, "nn[n]", "sprite N0 mirrored top-bottom when N1 = 1 [flag]")      \
  X(67, SpriteDelete, Sprite, "n[n]", "delete sprite N0 [no-repaint flag]")                       \
  X(68, SpriteHide, Sprite, "n[n]", "hide sprite N0 [no-repaint flag]")                           \
  X(69, SpriteShow, Sprite, "n[n]", "show sprite N0 [no-repaint flag]")                           \
  X(70, MovieOpen, Movie, "ntnnn[nn]",                                                            \
    "load movie T1 at top N2, left N3; five: controller N4; else width, height, controller")      \
  X(71, MoviePlay, Movie, "n", "show and play movie N0")                                          \
  X(72, MovieStop, Movie, "n", "stop and hide movie N0")                                          \
  X(73, MovieUnload, Movie, "n", "hide, stop and unload movie N0")                                \
  X(74, MovieToggleLoop, Movie, "n", "toggle looping of movie N0")                                \
  X(75, SetNumberVariable, SetNumberVariable, "vn", "number variable 0 = N1")                     \
  X(76, TimerOff, Misc, "", "stop the master timer")                                              \
  X(77, TimerOn, Misc, "", "start the master timer repeating")                                    \
  X(78, TimerPeriod, Misc, "n", "master timer period becomes N0 ticks")                           \
  X(79, TimerStop, Misc, "", "stop the master timer and drop its script")                         \
  X(80, ExitFor, Misc, "", "leave the innermost FOR loop")                                        \
  X(81, InsertNumber, Array, "rnn", "insert N2 into number array 0 as element N1")                \
  X(82, Beep, Misc, "", "system beep")                                                            \
  X(85, RemoveNumber, Array, "rn", "remove element N1 of number array 0")                         \
  X(86, For, For, "vnns", "FOR variable 0 from N1 to N2 (up or down), body script 3")             \
  X(88, If, If, "xrxrs[s]",                                                                       \
    "IF 0 operator 1 against 2 (kind 3: 0 numbers, 2 texts): THEN script 4 [ELSE script 5]")      \
  X(90, If2, If, "xrxrs[s]", "second code of IF; behaves exactly as code 88")                     \
  X(91, TimerScriptCmd, Misc, "ns", "run script 1 every N0 ticks on the master timer")            \
  X(95, DrawOvalCmd, Draw, "nnnn", "outline ellipse in x, y, width, height")                      \
  X(96, SetColorCmd, Draw, "nnn", "drawing colour becomes red, green, blue")                      \
  X(97, SetPenSizeCmd, Draw, "nn", "pen becomes width N0, height N1")                             \
  X(98, FillOvalCmd, Draw, "nnnn", "filled ellipse in x, y, width, height")                       \
  X(99, DrawRectCmd, Draw, "nnnn", "rectangle outline x, y, width, height")                       \
  X(100, FillRectCmd, Draw, "nnnn", "filled rectangle x, y, width, height")                       \
  X(101, DrawLineCmd, Draw, "nnnn", "line from N0, N1 to N2, N3")                                 \
  X(102, DrawTextCmd, Draw, "tnntn", "draw text T0 at N1, N2 in font T3, size N4")                \
  X(103, DrawRoundRectCmd, Draw, "nnnnnn", "rounded rectangle outline, corner N4 by N5")          \
  X(104, FillRoundRectCmd, Draw, "nnnnnn", "filled rounded rectangle, corner N4 by N5")           \
  X(105, RepaintCmd, Draw, "", "repaint the game window (needs no drawing context)")              \
  X(106, SocketWriteCmd, Socket, "nt", "write T1 to direct socket N0")                            \
  X(107, DimStringArray, Array, "rn", "text array 0 becomes N1 empty texts")                      \
  X(108, InsertString, Array, "rnt", "insert T2 into text array 0 as element N1")                 \
  X(109, RemoveString, Array, "rn", "remove element N1 of text array 0")                          \
  X(110, AppendString, Array, "rt", "append T1 to text array 0")                                  \
  X(111, SocketGroupClose, Socket, "nn", "close the socket group of sockets N0 to N1")            \
  X(112, SetPixelCmd, Draw, "nn", "pixel N0, N1 takes the drawing colour")                        \
  X(113, SpriteSetTint, Sprite, "nnnnn[n]",                                                       \
    "tint sprite N0 with red, green, blue N1..N3 at strength N4 [no-repaint flag]")               \
  X(114, DrawPictureFileCmd, Draw, "tnn", "draw picture file T0 at N1, N2")                       \
  X(115, ResizeNumberArray, Array, "rn", "number array 0 becomes N1 long, keeping elements")      \
  X(116, ResizeStringArray, Array, "rn", "text array 0 becomes N1 long, keeping elements")        \
  X(117, DrawSpritesCmd, Draw, "", "draw the live sprites on the drawing context now")            \
  X(118, SpriteSetRotation, Sprite, "nn[n]", "sprite N0 rotation N1 degrees [no-repaint flag]")   \
  X(119, SortArray, Array, "a", "sort the whole array 0 into ascending order")                    \
  X(120, ShuffleArray, Array, "a", "shuffle the whole array 0 into random order")

enum class Cmd : uint16_t {
#define QM_COMMAND_ENUM(code, name, group, shape, meaning) name = code,
  QM_COMMAND_LIST(QM_COMMAND_ENUM)
#undef QM_COMMAND_ENUM
};

struct CommandInfo {
  uint16_t code;
  const char* name;
  HandlerGroup group;
  const char* shape;
  const char* meaning;
};

// nullptr for codes without a command, method-call codes included.
const CommandInfo* findCommand(uint16_t code);
// Exact, case-sensitive match on the command name.
const CommandInfo* findCommandByName(std::string_view name);
// All commands, ascending by code.
std::span<const CommandInfo> allCommands();
const char* handlerGroupName(HandlerGroup group);

}  // namespace qm
