#include "data/GameLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "data/ByteReader.h"
#include "sprites/PictureEffects.h"
#include "support/FilePaths.h"

namespace qm {

namespace {


std::string quotedName(const std::string& name) { return "\"" + name + "\"."; }

// The failure kind of an error nothing nearer handled, with what it was about.
FatalLoadError unhandled(const std::exception& e, const char* place) {
  std::string kind = ExceptionType(e);
  if (kind.empty()) kind = "UnknownException";
  return FatalLoadError("Unhandled " + kind + " in " + place, e.what());
}

class Reader {
public:
  Reader(std::string_view bytes, const QString& folder, const LoadHooks& hooks)
      : in_(bytes), folder_(folder), hooks_(hooks), game_(std::make_unique<GameData>()) {
    game_->dataFolder = folder;
    game_->dataFile = QDir(folder).filePath(kDataFileName);
  }

  std::unique_ptr<GameData> read() {
    GameGlobals& g = game_->globals;

    // 1-2: settings, then the desktop shield if the game asks for it.
    g.ImportGlobals(in_.bytes(in_.u16()));
    if (hooks_.settingsRead) hooks_.settingsRead(g);

    // 3: global script slots; the byte is the upper bound.
    {
      const unsigned upper = in_.u8();
      g.CompiledGlobalScripts.assign(upper + 1, 0);
      for (unsigned i = 0; i <= upper; ++i) g.CompiledGlobalScripts[i] = in_.u32();
    }

    // 4: sprite library; the game window comes into being here.
    {
      const unsigned n = in_.u16();
      if (hooks_.windowNeeded) hooks_.windowNeeded(*game_);
      game_->Sprites.clear();
      game_->Sprites.emplace_back();
      for (unsigned i = 1; i <= n; ++i) game_->Sprites.push_back(readSprite());
    }

    // 5: sound library; the files are only located here.
    {
      const unsigned n = in_.u16();
      game_->Sounds.clear();
      game_->Sounds.emplace_back();
      for (unsigned i = 1; i <= n; ++i) {
        auto sound = std::make_unique<QMSound>();
        sound->name = in_.pstr();
        sound->fileName = in_.pstr();
        sound->soundFolderItem = childPath(folder_, sound->fileName);
        if (!pathExists(sound->soundFolderItem))
          fatal("Can't find the sound file for " + quotedName(sound->name));
        game_->Sounds.push_back(std::move(sound));
      }
    }

    // 6: cards; their count comes from the settings.
    game_->Cards.clear();
    game_->Cards.emplace_back();
    in_.needRecords(uint64_t(g.numcards), 4);
    for (int64_t i = 1; i <= g.numcards; ++i) {
      const uint32_t length = in_.u32();
      const std::string record = in_.bytes(length);
      auto card = std::make_unique<QMCard>();
      try {
        card->ImportFromString(record, folder_);
      } catch (const EndException&) {
        throw;
      } catch (const std::exception& e) {
        throw unhandled(e, "QMCard.ImportFromString");
      }
      game_->Cards.push_back(std::move(card));
    }

    // 7: methods.
    {
      const unsigned n = in_.u16();
      in_.needRecords(n, 7);
      for (unsigned i = 1; i <= n; ++i) {
        auto m = std::make_unique<QMMethod>();
        m->Name = in_.pstr();
        m->NameMethod = m->Name + " Method";
        const unsigned k = in_.u8();
        m->ParamsArr.resize(k);
        for (unsigned j = 0; j < k; ++j) m->ParamsArr[j] = in_.u32();
        m->ReturnType = in_.u8();
        m->compiledScript = in_.u32();
        g.Methods.push_back(std::move(m));
      }
    }

    // 8: game menu items.
    {
      const unsigned n = in_.u8();
      g.GameMenuItems.clear();
      for (unsigned i = 0; i < n; ++i) {
        QMGameMenuItem item;
        item.text = in_.pstr();
        item.shortcut = in_.pstr();
        (void)in_.u32(); // reserved
        item.compiledScript = in_.u32();
        g.GameMenuItems.push_back(item);
        if (hooks_.menuItemRead) hooks_.menuItemRead(g.GameMenuItems.back());
      }
    }

    // 9: parameter pools.
    {
      const uint32_t p = in_.u32();
      const int vw = in_.u8(), pw = in_.u8();
      auto partWidth = [](int w) { return (w == 1 || w == 2 || w == 4) ? w : 0; };
      const int vbytes = partWidth(vw), pbytes = partWidth(pw);
      const size_t stride = 1 + size_t(vbytes) + size_t(pbytes);
      in_.needRecords(p, stride);
      const uint8_t* run = in_.take(size_t(p) * stride);
      g.ParamType.resize(p);
      g.ParamValue.resize(p);
      g.ParamPtr.resize(p);
      for (uint32_t i = 0; i < p; ++i, run += stride) {
        g.ParamType[i] = run[0];
        g.ParamValue[i] = ByteReader::load(run + 1, vbytes);
        g.ParamPtr[i] = ByteReader::load(run + 1 + vbytes, pbytes);
      }
    }
    const int elementWidth = parameterIndexWidth(int64_t(g.ParamValue.size()) - 1);

    // 10: parameter lists.
    {
      const uint32_t l = in_.u32();
      const int countWidth = in_.u8();
      ImportParameterLists(in_, l, elementWidth, countWidth, g.store, g.ParameterLists);
    }

    // 11: scripts; element 0 is the empty script.
    {
      const uint32_t s = in_.u32();
      const int listWidth = listIndexWidth(int64_t(g.ParameterLists.size()) - 1);
      ImportScripts(in_, s, listWidth, g.store, g.GameScripts);
    }

    // 12-18: literals, variables, arrays, expressions.
    {
      const unsigned n = in_.u16();
      in_.needRecords(n, 8);
      g.NumberLiterals.resize(n);
      for (unsigned i = 0; i < n; ++i) g.NumberLiterals[i] = in_.f64();
    }
    g.NumberVariables.assign(in_.u16(), 0.0);
    g.NumberArrays.assign(in_.u16(), QMNumArray{});
    ImportMathExpressions(in_, in_.u32(), elementWidth, g.store, g.MathExpressions);
    {
      const unsigned n = in_.u16();
      in_.needRecords(n, 2);
      g.StringLiterals.resize(n);
      for (unsigned i = 0; i < n; ++i) g.StringLiterals[i] = in_.bytes(in_.u16());
    }
    g.StringVariables.assign(in_.u16(), std::string());
    g.StringArrays.assign(in_.u16(), QMStrArray{});
    // Nothing follows section 18; trailing bytes are not looked at.
    return std::move(game_);
  }

private:
  void fatal(const std::string& message) const {
    if (!hooks_.tolerateMissingFiles) throw FatalLoadError(message, kLoadExplanation);
  }

  std::unique_ptr<QMSprite> readSprite() {
    auto sprite = std::make_unique<QMSprite>();
    sprite->Name = in_.pstr();
    sprite->scrambled = in_.u8() != 0;
    const uint32_t key = in_.u16();
    sprite->PictureFile = in_.pstr();
    const QString picturePath = childPath(folder_, sprite->PictureFile);
    if (!pathExists(picturePath))
      fatal("Can't find the sprite picture file for " + quotedName(sprite->Name));
    else if (!sprite->MyPicture.load(picturePath))
      fatal("Can't open the sprite picture file for " + quotedName(sprite->Name));
    if (sprite->scrambled) sprite->MyPicture = DeScramblePicture(sprite->MyPicture, 2, {key});

    sprite->MaskFile = in_.pstr();
    if (!sprite->MaskFile.empty()) {
      const QString maskPath = childPath(folder_, sprite->MaskFile);
      if (!pathExists(maskPath))
        fatal("Can't find the sprite mask file for " + quotedName(sprite->Name));
      else if (!sprite->MyMask.load(maskPath))
        fatal("Can't open the sprite mask file for " + quotedName(sprite->Name));
    }
    sprite->GenerateAlpha();
    return sprite;
  }

  ByteReader in_;
  QString folder_;
  const LoadHooks& hooks_;
  std::unique_ptr<GameData> game_;
};

} // namespace

std::unique_ptr<GameData> LoadGameFromBytes(std::string_view bytes, const QString& dataFolder,
                                            const LoadHooks& hooks) {
  try {
    return Reader(bytes, dataFolder, hooks).read();
  } catch (const FatalLoadError&) {
    throw;
  } catch (const EndException&) {
    throw;
  } catch (const std::exception& e) {
    throw unhandled(e, "App.Open");
  }
}

std::unique_ptr<GameData> LoadGame(const QString& resourcesFolder, const LoadHooks& hooks) {
  // A missing resources folder is not one of the reader's own messages: it ends like any
  // other unexpected failure.
  if (resourcesFolder.isEmpty() || !QFileInfo(resourcesFolder).isDir())
    throw unhandled(NilObjectException("the resources folder " + resourcesFolder.toStdString() +
                                       " does not exist"),
                    "App.Open");
  const QString path = QDir(resourcesFolder).filePath(kDataFileName);
  if (!QFileInfo::exists(path)) throw FatalLoadError("Can't find quillmark.dat.", kLoadExplanation);
  QFile file(path);
  if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
    throw FatalLoadError("Can't open the game data.", kLoadExplanation);
  // One read into memory; everything after parses from the buffer.
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw FatalLoadError("Can't open the game data.", kLoadExplanation);
  file.close();
  return LoadGameFromBytes(std::string_view(bytes.constData(), size_t(bytes.size())),
                           QFileInfo(path).absolutePath(), hooks);
}

} // namespace qm
