#include "document/Document.h"

Document::Document() : m_project(Project::create()) {}
