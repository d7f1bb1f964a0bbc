#include "zul/resourcemanager/ResourceManager.h"

ResourceManager::~ResourceManager() = default;
