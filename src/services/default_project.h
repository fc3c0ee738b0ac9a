// The sample project a new user starts from: a search form and two links.
#pragma once

class CProject;

// Adds the sample content to `project` (nothing is cleared first).
void BuildDefaultProject(CProject& project);
