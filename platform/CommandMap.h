#pragma once

#include "platform/CmdUI.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

// The commands one class handles: a handler per command id and, where the command has an
// enable rule, an update handler. Each class fills its map once, at construction.
class CommandMap
{
public:
    using Handler = std::function<void()>;
    using UpdateHandler = std::function<void(CmdUI&)>;

    void on(int id, Handler handler) { m_handlers[id] = std::move(handler); }
    void onUpdate(int id, UpdateHandler update) { m_updates[id] = std::move(update); }
    void onUpdate(std::initializer_list<int> ids, const UpdateHandler& update)
    {
        for (int id : ids)
            m_updates[id] = update;
    }

    const Handler* handler(int id) const;
    const UpdateHandler* update(int id) const;

private:
    std::map<int, Handler> m_handlers;
    std::map<int, UpdateHandler> m_updates;
};

// A command's route through the classes that may handle it, first to last (view, document,
// frame, application). The first class that handles an id takes it; the first update handler
// along the route decides its state, and without one the command is enabled exactly when some
// class handles it.
class CommandRouter
{
public:
    CommandRouter() = default;
    CommandRouter(std::initializer_list<const CommandMap*> route) : m_route(route) {}

    void append(const CommandMap* map) { m_route.push_back(map); }

    CmdUI state(int id) const;
    bool handles(int id) const { return handlerFor(id) != nullptr; }
    // Carries the command out if its state at this moment is enabled; returns whether it ran.
    bool execute(int id) const;

private:
    const CommandMap::Handler* handlerFor(int id) const;

    std::vector<const CommandMap*> m_route;
};
