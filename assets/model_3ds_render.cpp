// Drawing a loaded model from its own arrays: one indexed triangle batch per
// face group, under its material's texture. Allocates nothing.
#include "assets/model_3ds.h"

void Model_3DS::Render() {
  if (!isVisible) return;
  glPushMatrix();
  glTranslatef(position[0], position[1], position[2]);
  glRotatef(rotation[0], 1.0f, 0.0f, 0.0f);
  glRotatef(rotation[1], 0.0f, 1.0f, 0.0f);
  glRotatef(rotation[2], 0.0f, 0.0f, 1.0f);
  glScalef(uniformScale, uniformScale, uniformScale);
  for (int i = 0; i < objectCount; ++i) DrawObject(objectList[i]);
  glPopMatrix();
}

void Model_3DS::DrawObject(const ModelObject& object) {
  // Mapping coordinates that do not cover every vertex would send OpenGL
  // reading past them; such an object is drawn as if it had none.
  if (object.hasMapCoords && object.mapCoordCount >= object.vertexCount) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, object.mapCoords);
  } else {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  if (drawLit) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, object.normals);
  } else {
    glDisableClientState(GL_NORMAL_ARRAY);
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, object.vertices);

  for (int g = 0; g < object.groupCount; ++g) {
    const FaceGroup& group = object.groups[g];
    ModelMaterial* material = MaterialAt(group.materialIndex);
    if (material != nullptr) {
      material->texture.Bind();
    } else {
      // A group whose material is missing shows like a mapped material: the
      // default texture, so the current colour alone.
      glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, 0);
    }
    glPushMatrix();
    glTranslatef(object.position[0], object.position[1], object.position[2]);
    glRotatef(object.rotation[0], 1.0f, 0.0f, 0.0f);
    glDrawElements(GL_TRIANGLES, group.indexCount, GL_UNSIGNED_SHORT, group.indices);
    glPopMatrix();
  }

  if (drawNormalLines) DrawNormalLines(object);
}

// Each vertex normal as a blue line one model unit long.
void Model_3DS::DrawNormalLines(const ModelObject& object) {
  for (int v = 0; v < object.vertexCount; ++v) {
    const float* from = object.vertices + 3 * v;
    const float* normal = object.normals + 3 * v;
    glDisable(GL_TEXTURE_2D);
    if (drawLit) glDisable(GL_LIGHTING);
    glColor3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_LINES);
    glVertex3f(from[0], from[1], from[2]);
    glVertex3f(from[0] + normal[0], from[1] + normal[1], from[2] + normal[2]);
    glEnd();
    glColor3f(1.0f, 1.0f, 1.0f);
    if (drawLit) glEnable(GL_LIGHTING);
  }
}
