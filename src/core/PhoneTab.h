#pragma once

#include <QString>

// The five tabs of the phone, in their order, with the interface file of each root screen.
enum class PhoneTab
{
    Now,
    Program,
    Twitter,
    Profile,
    Settings
};

inline constexpr PhoneTab AllPhoneTabs[] = {PhoneTab::Now, PhoneTab::Program, PhoneTab::Twitter,
                                            PhoneTab::Profile, PhoneTab::Settings};

inline QString phoneTabNibName(PhoneTab tab)
{
    switch (tab) {
    case PhoneTab::Now:
        return QStringLiteral("NowViewController_iPhone");
    case PhoneTab::Program:
        return QStringLiteral("ProgramViewController_iPhone");
    case PhoneTab::Twitter:
        return QStringLiteral("TWViewController_iPhone");
    case PhoneTab::Profile:
        return QStringLiteral("ProfileViewController_iPhone");
    case PhoneTab::Settings:
        return QStringLiteral("SettingsViewController_iPhone");
    }
    return {};
}
