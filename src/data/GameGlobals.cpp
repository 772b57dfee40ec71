#include "data/GameGlobals.h"

#include "data/ByteReader.h"

namespace qm {

const char* globalSlotLocation(int slot) {
  switch (slot) {
  case GlobalOpenGame: return "Global Open Game Event";
  case GlobalCloseGame: return "Global Close Game Event";
  case GlobalKeyDown: return "Global Key Down Event";
  case GlobalMouseMove: return "Global Mouse Move Event";
  case GlobalMouseEnter: return "Global Mouse Enter Event";
  case GlobalMouseExit: return "Global Mouse Exit Event";
  case GlobalMouseDown: return "Global Mouse Down Event";
  case GlobalMouseUp: return "Global Mouse Up Event";
  case GlobalMoved: return "Global Moved Event";
  case GlobalSocketConnected: return "Global Socket Connected Event";
  case GlobalSocketReceived: return "Global Socket Received Event";
  case GlobalSocketError: return "Global Socket Error Event";
  case GlobalNewGame: return "Global New Game Script";
  case GlobalOpenGameMenu: return "Global Open Game Script";
  case GlobalSaveGame: return "Global Save Game Menu Event";
  case GlobalGameHelp: return "Global Game Help Menu Event";
  case GlobalMouseDrag: return "Global Mouse Drag Event";
  case GlobalPaint: return "Global Paint Event";
  case GlobalInput: return "Global Input Event";
  case GlobalKeyUp: return "Global Key Up Event";
  default: return "";
  }
}

const char* cardSlotSuffix(int slot) {
  switch (slot) {
  case CardOpen: return ", Open Card Event";
  case CardClose: return ", Close Card Event";
  case CardKeyDown: return ", Key Down Event";
  case CardMouseMove: return ", Mouse Move Event";
  case CardMouseEnter: return ", Mouse Enter Event";
  case CardMouseExit: return ", Mouse Exit Event";
  case CardMouseDown: return ", Mouse Down Event";
  case CardMouseUp: return ", Mouse Up Event";
  case CardMoved: return ", Moved Event";
  case CardSocketConnected: return ", Socket Connected Event";
  case CardSocketReceived: return ", Socket Received Event";
  case CardSocketError: return ", Socket Error Event";
  case CardInput: return ", Input Event";
  case CardMouseDrag: return ", Mouse Drag Event";
  case CardPaint: return ", Paint Event";
  case CardKeyUp: return ", Key Up Event";
  default: return "";
  }
}

std::string cardLocation(int64_t card, int slot) {
  return "Card " + std::to_string(card) + cardSlotSuffix(slot);
}

void GameGlobals::ImportGlobals(const std::string& record) {
  // Each field is stored as soon as it is read; bytes after the last field are ignored.
  ByteReader in(record);
  numcards = in.u16();
  thegamename = in.pstr();
  HideDesk = in.flagChar();
  Centered = in.flagChar();
  Fullscreen = in.flagChar();
  AboutTXT = in.pstr();
  WindowSize = in.u8();
  begincard = in.u16();
  HasNewMenu = in.flagChar();
  HasOpenSaveMenus = in.flagChar();
  HasGameMenu = in.flagChar();
  GameMenuName = in.pstr();
  hidetitlebar = in.flagChar();
  hidemenubar = in.flagChar();
}

} // namespace qm
