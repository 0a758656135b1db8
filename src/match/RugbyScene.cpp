#include "match/RugbyScene.h"

void RugbyScene::Initialize() {}

void RugbyScene::HandleEvent(const sf::Event& /*event*/) {}

void RugbyScene::Update() {}
