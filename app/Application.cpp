#include "app/Application.h"

Application::Application(ProgramFolders folders, Language language)
    : m_folders(std::move(folders)), m_language(language),
      m_texts(LanguageTable::loadAtStart(m_folders, language)) {}
