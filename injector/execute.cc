// InputInjector::execute: carries out one decoded JSON command.
#include "injector/input_injector.h"

void InputInjector::execute(const InputCommand&) {}
