# One library per folder, and the folders each one uses (what those use comes with them). Arrows
# point downwards only: app uses server and controls, server uses config, config uses maps,
# everything uses base, which uses platform. A folder's Win32 shell (its "_win" files) also uses
# wingui/, which knows nothing of Tollan, and the shells of the folders below it.
# tests/static/check_includes.py reads this file, so the build and the include check hold the same
# picture.
tollan_layer(platform)
tollan_layer(base platform)
tollan_layer(maps base)
tollan_layer(config maps)
tollan_layer(controls base)
tollan_layer(server config)
tollan_layer(app server controls)
tollan_layer(installer base)
tollan_layer(wingui)
