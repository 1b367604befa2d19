#!/usr/bin/env bash
# Takes pictures of every page of the Options dialog and of the String List
# Editor, as a first start shows them, under a virtual X display:
#   bash scripts/options-screenshots.sh [FOLDER]   (default docs/)
exec bash "$(dirname "$0")/screenshot.sh" --options "$@"
