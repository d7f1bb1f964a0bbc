// Creation of the game object and the accessor to the running game.
#include "game/Game/Game.h"

#include "platform/brew/AppletGameBridge.h"
#include "zul/memory/TrackedNew.h"

GameBase* createGame(MutableImage* image) {
  // A failed allocation constructs nothing and yields null.
  return new ("Game", 1261, nullptr) cGame(image);
}

cGame* getGame() {
  AppletGameBridge* bridge = getAppletGameBridge();
  return bridge ? static_cast<cGame*>(bridge->getGame()) : nullptr;
}

cGame* getGameInstance() { return getGame(); }

GameResourceManager* getResourceManager() {
  cGame* game = getGame();
  return game ? &game->engine.resources : nullptr;
}
