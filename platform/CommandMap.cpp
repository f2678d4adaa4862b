#include "platform/CommandMap.h"

const CommandMap::Handler* CommandMap::handler(int id) const
{
    const auto it = m_handlers.find(id);
    return it == m_handlers.end() ? nullptr : &it->second;
}

const CommandMap::UpdateHandler* CommandMap::update(int id) const
{
    const auto it = m_updates.find(id);
    return it == m_updates.end() ? nullptr : &it->second;
}

const CommandMap::Handler* CommandRouter::handlerFor(int id) const
{
    for (const CommandMap* map : m_route) {
        if (const auto* h = map->handler(id))
            return h;
    }
    return nullptr;
}

CmdUI CommandRouter::state(int id) const
{
    CmdUI ui;
    for (const CommandMap* map : m_route) {
        if (const auto* update = map->update(id)) {
            (*update)(ui);
            return ui;
        }
    }
    ui.Enable(handlerFor(id) != nullptr);
    return ui;
}

bool CommandRouter::execute(int id) const
{
    const auto* h = handlerFor(id);
    if (!h || !state(id).enabled())
        return false;
    // Copy first: a handler may rebuild the maps it was found in.
    const CommandMap::Handler run = *h;
    run();
    return true;
}
