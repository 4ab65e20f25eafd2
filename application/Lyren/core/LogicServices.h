#pragma once

#include <typeindex>
#include <unordered_map>

// What the subsystems offer one another and what the window layer offers the
// logic (presenters of dialogs, the image manager): one object per interface,
// looked up when it is needed, so that no subsystem includes another's
// insides and nothing depends on the order of installation. Nothing here is
// owned.
class LogicServices
{
public:
    template<typename Interface> void Provide(Interface *service)
    {
        if (service)
            m_services[std::type_index(typeid(Interface))] = service;
        else
            m_services.erase(std::type_index(typeid(Interface)));
    }
    // Removes the service when it is still the one provided.
    template<typename Interface> void Withdraw(Interface *service)
    {
        const auto found = m_services.find(std::type_index(typeid(Interface)));
        if (found != m_services.end() && found->second == service)
            m_services.erase(found);
    }
    // The service, null when none was provided.
    template<typename Interface> Interface *Get() const
    {
        const auto found = m_services.find(std::type_index(typeid(Interface)));
        return found == m_services.end() ? nullptr : static_cast<Interface *>(found->second);
    }

private:
    std::unordered_map<std::type_index, void *> m_services;
};

// A logic object that finds what it needs among the services when it needs it
// (the services are given once, by the subsystem that made the object).
class LogicServiceUser
{
public:
    void SetServices(const LogicServices *services) { m_pServices = services; }

protected:
    template<typename Interface> Interface *Service() const
    {
        return m_pServices ? m_pServices->Get<Interface>() : nullptr;
    }

private:
    const LogicServices *m_pServices = nullptr;
};
