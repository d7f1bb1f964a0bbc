#include "platform/brew/GameBase.h"

#include "platform/brew/ShellGameHost.h"
#include "zul/2d/MutableImage.h"

GameBase::GameBase(MutableImage* image)
    : m_image(image), m_graphics(image ? image->getGraphics() : nullptr), m_host(&shellGameHost()) {}

GameBase::~GameBase() = default;

int32_t GameBase::getWidth() const { return m_image ? m_image->getWidth() : 0; }
int32_t GameBase::getHeight() const { return m_image ? m_image->getHeight() : 0; }

void GameBase::setHost(GameHost* services) { m_host = services ? services : &shellGameHost(); }
